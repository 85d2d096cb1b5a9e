// velqo-cli and the backup store, run as a program against substitute boxes
// over loopback: backups, latest with no backup, and concurrent --keep runs.
#include <nlohmann/json.hpp>

#include <memory>

#include "backup/BackupStore.h"
#include "tests/cli/CliBackupFixture.h"
#include "tests/support/BackgroundProgram.h"

namespace fs = std::filesystem;
using namespace cli_test;

TEST_F(CliBackupTest, BackupsListsTheBoxsBackupsInTheStoreAndItsLatest) {
    BoxSimulator& box = StartBox("box");
    BoxSimulator& other = StartBox("box");
    // The default store is backup/ in DIR.
    const fs::path made = FirstLine(Cli(box, {"backup"}).out);
    ASSERT_EQ(made.parent_path(), fs::canonical("pc") / "backup");
    ASSERT_EQ(Cli(other, {"backup"}).status, 0);
    ASSERT_EQ(Cli(box, {"backup", "--box-name", "tv living"}).status, 0);
    fs::copy(made, made.string() + "-07");  // a name the store never makes: not listed
    const fs::path broken =
        made.parent_path() / ("127.0.0.1+" + std::to_string(box.Port()) + "-20240101-120000");
    fs::create_directories(broken);
    WriteFile((broken / "INCOMPLETE").string(), "");

    const ProgramResult text = Cli(box, {"backups"});
    EXPECT_EQ(text.status, 0) << text.err;
    const std::string box1 = "127.0.0.1:" + std::to_string(box.Port());
    EXPECT_TRUE(Contains(text.out, "\t" + box1 + "\t6\tcomplete\t")) << text.out;
    EXPECT_TRUE(Contains(text.out, "2024-01-01 12:00:00\t" + box1 + "\t?\tincomplete\t"))
        << text.out;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 2) << text.out;

    const auto json = nlohmann::json::parse(Cli(box, {"backups", "--json", "--all"}).out);
    EXPECT_EQ(json["command"], "backups");
    EXPECT_TRUE(json["ok"]);
    EXPECT_TRUE(json["box"].is_null());
    EXPECT_EQ(json["backups"].size(), 4u);
    const auto mine =
        nlohmann::json::parse(Cli(box, {"backups", "--json", "--box-name", "tv living"}).out);
    EXPECT_EQ(mine["box"], "tv living:" + std::to_string(box.Port()));
    EXPECT_EQ(mine["backups"][0]["host"], "tv living");
    ASSERT_EQ(mine["backups"].size(), 1u);
    EXPECT_EQ(mine["latest"], mine["backups"][0]["folder"]);
    EXPECT_EQ(mine["backups"][0]["files"], 6);  // a file listed in two groups
    EXPECT_TRUE(mine["backups"][0]["complete"]);
}

TEST_F(CliBackupTest, NamesThatDifferNeverShareABackup) {
    BoxSimulator& box = StartBox("box");
    const std::string port = std::to_string(box.Port());
    const char* names[] = {"B\xC3\xBCro", "B\xC3\xB6ro", "a b", "a_b", "a/b"};
    for (const char* name : names) {
        ASSERT_EQ(Cli(box, {"backup", "--box-name", name, "--keep", "1"}).status, 0) << name;
    }
    for (const char* name : names) {
        const auto json =
            nlohmann::json::parse(Cli(box, {"backups", "--json", "--box-name", name}).out);
        ASSERT_EQ(json["backups"].size(), 1u) << name;
        EXPECT_EQ(json["backups"][0]["host"], name);
    }
    const ProgramResult history = Cli(box, {"history", "--box-name", names[0]});
    EXPECT_EQ(history.status, 0) << history.err;
    EXPECT_TRUE(Contains(history.out, "B%C3%BCro+" + port + "-")) << history.out;
    EXPECT_EQ(Cli(box, {"backup", "--box-name", std::string(300, 'x')}).status, 2);
}

TEST_F(CliBackupTest, TheFolderIsMadeBeforeTheBoxIsReachedAndGoesAgainIfItIsNot) {
    BoxSimulator& box = StartBox("box");
    fs::create_directories("pc/backups/127.0.0.1+" + std::to_string(box.Port()) +
                           "-20240101-120000");
    const ProgramResult r = Cli(box, {"--password", "1111", "backup", "--into", "backups"});
    EXPECT_EQ(r.status, 3) << r.err;
    // Only what was there before: the lock and the earlier folder.
    EXPECT_EQ(Names("pc/backups").size(), 2u);
    WriteFile("pc/no-store", "");
    const ProgramResult none = Cli(box, {"backup", "--into", "no-store"});
    EXPECT_EQ(none.status, 1);
    WaitIdle(box);
    EXPECT_EQ(box.Stats().connectionsAccepted, 1);  // the first run's only
}

TEST_F(CliBackupTest, LatestWithoutACompleteBackupSendsNothing) {
    BoxSimulator& box = StartBox("box");
    fs::create_directories("pc/backup/127.0.0.1+" + std::to_string(box.Port()) +
                           "-20240101-120000");  // no manifest: not complete
    const ProgramResult r = Cli(box, {"--json", "restore", "latest"});
    EXPECT_EQ(r.status, 1);
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["error"], "no complete backup of 127.0.0.1:" + std::to_string(box.Port()) +
                                 " in " + (fs::absolute("pc") / "backup").string() +
                                 "; nothing was sent");
    WaitIdle(box);
    EXPECT_EQ(box.Stats().connectionsAccepted, 0);
}

TEST_F(CliBackupTest, ConcurrentKeepOneRunsAlwaysLeaveACompleteBackup) {
    constexpr int kRounds = 8;
    constexpr int kRuns = 3;
    constexpr int kWaitMs = 60000;
    BoxSimOptions options;
    options.paceMs = 2;  // long enough for the runs to overlap
    BoxSimulator& box = StartBox("box", options);
    const BackupStore store(fs::absolute("pc/backup"));
    const BackupBox me = BackupBox::Of("127.0.0.1", box.Port());
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<BackgroundProgram>> runs;
        for (int i = 0; i < kRuns; ++i) {
            runs.push_back(std::make_unique<BackgroundProgram>(
                SiblingProgram("velqo-cli"),
                std::vector<std::string>{"-H", "127.0.0.1", "-p", std::to_string(box.Port()), "-C",
                                         "pc", "-q", "backup", "--keep", "1"}));
        }
        for (auto& run : runs) {
            ASSERT_TRUE(run->Wait(kWaitMs));
            EXPECT_EQ(run->ExitStatus(), 0) << run->Err();
        }
        int complete = 0;
        for (const StoredBackup& b : store.ListOf(me)) {
            complete += b.state.Complete() ? 1 : 0;
            EXPECT_TRUE(b.state.Complete()) << b.folder << ": " << b.state.Text();
        }
        EXPECT_GE(complete, 1) << "round " << round;
    }
}
