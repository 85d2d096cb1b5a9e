// A box's backups committed into a git repository: one folder per box, a
// commit per change with the report as its message and the backup's time as
// its date, none for an unchanged box; excluded groups left out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/ChildProcess.h"
#include "history/GitHistory.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Git(const fs::path& repository, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"-C", repository.string()};
    all.insert(all.end(), args.begin(), args.end());
    const ChildOutcome run = ChildProcess::Run("git", all);
    EXPECT_EQ(run.status, 0) << run.output;
    return run.output;
}

StoredFile Config(const std::string& bytes) {
    return {"Settings", "config.txt", 1, bytes};
}
StoredFile Channels(const std::string& bytes) {
    return {"Channels", "channels.db", 2, bytes};
}
const StoredFile kFirmware = {"Firmware", "image.bin", 2, std::string(4096, '\x5a')};

}  // namespace

#ifndef _WIN32
TEST(GitHistoryTest, AChangeMakesOneCommitWithTheReportAndAnUnchangedBoxNone) {
    TempDir dir;
    const fs::path repository = dir.Path() / "history";
    const GitHistory git(repository, {"Firmware"});
    const struct {
        const char* stamp;
        std::vector<StoredFile> files;
        const char* message;
        GitOutcome::Status status;
        std::vector<std::string> tracked;  // the box's folder afterwards
    } steps[] = {
        {"20261201100000",
         {Config("a\n"), Channels("x"), kFirmware},
         "127.0.0.1: first",
         GitOutcome::Status::kCommitted,
         {"127.0.0.1/channels.db", "127.0.0.1/config.txt", "127.0.0.1/manifest.txt"}},
        {"20261202100000",
         {Config("a\n"), Channels("x"), kFirmware},
         "127.0.0.1: same",
         GitOutcome::Status::kUnchanged,
         {"127.0.0.1/channels.db", "127.0.0.1/config.txt", "127.0.0.1/manifest.txt"}},
        {"20261203100000",
         {Config("b\n"), kFirmware},
         "127.0.0.1: 1 changed: config.txt; 1 removed: channels.db\n\nchanged config.txt\n"
         "removed channels.db",
         GitOutcome::Status::kCommitted,
         {"127.0.0.1/config.txt", "127.0.0.1/manifest.txt"}},
    };
    int commits = 0;
    for (const auto& step : steps) {
        const BackupName name = StoredName("127.0.0.1", step.stamp);
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, step.files);
        const GitOutcome outcome = git.Commit(folder, name, step.message);
        ASSERT_EQ(outcome.status, step.status) << step.stamp << ": " << outcome.why;
        commits += outcome.status == GitOutcome::Status::kCommitted ? 1 : 0;
        EXPECT_EQ(Git(repository, {"rev-list", "--count", "HEAD"}), std::to_string(commits) + "\n");
        std::string tracked;
        for (const std::string& path : step.tracked) {
            tracked += path + "\n";
        }
        EXPECT_EQ(Git(repository, {"ls-files"}), tracked) << step.stamp;
        if (outcome.status == GitOutcome::Status::kCommitted) {
            EXPECT_EQ(
                Git(repository, {"log", "-1", "--format=%H"}).substr(0, outcome.commit.size()),
                outcome.commit);
            EXPECT_EQ(Git(repository, {"log", "-1", "--format=%B"}),
                      std::string(step.message) + "\n\n");
            EXPECT_EQ(Git(repository, {"log", "-1", "--format=%an <%ae> %ad",
                                       "--date=format-local:%Y%m%d%H%M%S"}),
                      std::string("velqo-cli <velqo-cli@localhost> ") + step.stamp + "\n");
        }
    }
    // git log -p shows the text file's change.
    EXPECT_NE(Git(repository, {"log", "-p", "--", "127.0.0.1/"}).find("-a\n+b\n"),
              std::string::npos);
}

TEST(GitHistoryTest, EachBoxHasItsOwnFolder) {
    TempDir dir;
    const GitHistory git(dir.Path() / "history", {});
    for (const int port : {1000, 4000}) {
        const BackupName name = StoredName("127.0.0.1", "20261201100000", 1, port);
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, {Config("a\n")});
        ASSERT_EQ(git.Commit(folder, name, name.box.Stem() + ": first").status,
                  GitOutcome::Status::kCommitted);
    }
    EXPECT_EQ(Git(dir.Path() / "history", {"ls-files", "--", "*config.txt"}),
              "127.0.0.1+4000/config.txt\n127.0.0.1/config.txt\n");
}

TEST(GitHistoryTest, TheRepositorysIgnoreRulesLeaveNoBoxFileOut) {
    TempDir dir;
    const fs::path repository = dir.Path() / "history";
    fs::create_directories(repository);
    WriteFile("history/.gitignore", "*.db\n*.txt\n");
    const BackupName name = StoredName("127.0.0.1", "20261201100000");
    const fs::path folder =
        WriteStoredBackup(dir.Path() / "store", name, {Config("a\n"), Channels("x")});
    const GitOutcome outcome = GitHistory(repository, {}).Commit(folder, name, "first");
    ASSERT_EQ(outcome.status, GitOutcome::Status::kCommitted) << outcome.why;
    EXPECT_EQ(Git(repository, {"ls-files"}),
              "127.0.0.1/channels.db\n127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n");
}

TEST(GitHistoryTest, ABoxFolderHoldingAFolderIsLeftAsItIs) {
    TempDir dir;
    // The store named like the box, inside the repository.
    const BackupName name = StoredName("127.0.0.1", "20261201100000");
    const fs::path folder =
        WriteStoredBackup(dir.Path() / "history" / "127.0.0.1", name, {Config("a\n")});
    const GitOutcome outcome = GitHistory(dir.Path() / "history", {}).Commit(folder, name, "first");
    EXPECT_EQ(outcome.status, GitOutcome::Status::kFailed);
    EXPECT_EQ(outcome.why, "'" + (dir.Path() / "history" / "127.0.0.1" / name.Format()).string() +
                               "' is not a file a commit put there; nothing was removed");
    EXPECT_EQ(ReadFile((folder / "config.txt").string()), "a\n");
}

TEST(GitHistoryTest, ABoxNamedLikeAFolderOfItsOwnNeverLeavesTheRepository) {
    TempDir dir;
    fs::create_directories("outside/history");
    WriteFile("outside/keep.txt", "mine");
    WriteFile("outside/history/.gitignore", "*.tmp\n");
    const GitHistory git(dir.Path() / "outside" / "history", {});
    for (const char* host : {"..", ".", ".git", ".gitignore"}) {
        const BackupName name = StoredName(host, "20261201100000");
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, {Config("a\n")});
        const GitOutcome outcome = git.Commit(folder, name, "first");
        EXPECT_EQ(outcome.status, GitOutcome::Status::kFailed) << host;
        EXPECT_EQ(outcome.why,
                  std::string("'") + host + "' cannot name a folder of the repository");
    }
    EXPECT_EQ(ReadFile("outside/keep.txt"), "mine");
    EXPECT_EQ(ReadFile("outside/history/.gitignore"), "*.tmp\n");
    EXPECT_TRUE(fs::is_regular_file("outside/history/.git/HEAD"));
}

TEST(GitHistoryTest, ABoxFileGitReadsAsItsOwnIsRefusedUnlessItsGroupIsLeftOut) {
    TempDir dir;
    const struct {
        const char* file;
        std::vector<std::string> excluded;
        GitOutcome::Status status;
    } cases[] = {
        {".GitAttributes", {}, GitOutcome::Status::kFailed},
        {".git", {}, GitOutcome::Status::kFailed},
        {".gitattributes", {"Extra"}, GitOutcome::Status::kCommitted},
        {".gitignore", {}, GitOutcome::Status::kCommitted},  // its "*" hides nothing
    };
    int round = 0;
    for (const auto& c : cases) {
        const fs::path repository = dir.Path() / ("history" + std::to_string(++round));
        const BackupName name = StoredName("127.0.0.1", "20261201100000", round);
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", name,
                                                  {Config("a\n"), {"Extra", c.file, 1, "*\n"}});
        const GitOutcome outcome = GitHistory(repository, c.excluded).Commit(folder, name, "first");
        ASSERT_EQ(outcome.status, c.status) << c.file << ": " << outcome.why;
        if (c.status == GitOutcome::Status::kFailed) {
            EXPECT_EQ(outcome.why, std::string("the box's file '") + c.file +
                                       "' would be read by git as its own; leave its group out");
            EXPECT_FALSE(fs::exists(repository / "127.0.0.1")) << c.file;
        } else {
            EXPECT_NE(Git(repository, {"ls-files"}).find("127.0.0.1/config.txt\n"),
                      std::string::npos)
                << c.file;
        }
    }
}

TEST(GitHistoryTest, BoxesCommittedAtOnceIntoANewRepositoryTakeTurns) {
    TempDir dir;
    constexpr int kBoxes = 4;
    std::vector<BackupName> names;
    std::vector<fs::path> folders;
    for (int port = 4001; port <= 4000 + kBoxes; ++port) {
        names.push_back(StoredName("127.0.0.1", "20261201100000", 1, port));
        folders.push_back(WriteStoredBackup(dir.Path() / "store", names.back(), {Config("a\n")}));
    }
    const GitHistory git(dir.Path() / "history", {});
    std::vector<GitOutcome> outcomes(kBoxes);
    std::vector<std::thread> runs;
    for (int k = 0; k < kBoxes; ++k) {
        runs.emplace_back([&, k] { outcomes[k] = git.Commit(folders[k], names[k], "first"); });
    }
    for (std::thread& run : runs) {
        run.join();
    }
    for (const GitOutcome& outcome : outcomes) {
        EXPECT_EQ(outcome.status, GitOutcome::Status::kCommitted) << outcome.why;
    }
    EXPECT_EQ(Git(dir.Path() / "history", {"rev-list", "--count", "HEAD"}),
              std::to_string(kBoxes) + "\n");
}
#endif

TEST(GitHistoryTest, WithoutGitTheOutcomeSaysSo) {
    TempDir dir;
    fs::create_directories("empty");
    const std::string path = std::getenv("PATH") == nullptr ? "" : std::getenv("PATH");
#ifdef _WIN32
    _putenv_s("PATH", (dir.Path() / "empty").string().c_str());
#else
    setenv("PATH", (dir.Path() / "empty").c_str(), 1);
#endif
    const BackupName name = StoredName("127.0.0.1", "20261201100000");
    const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, {Config("a\n")});
    const GitOutcome outcome = GitHistory(dir.Path() / "history", {}).Commit(folder, name, "m");
#ifdef _WIN32
    _putenv_s("PATH", path.c_str());
#else
    setenv("PATH", path.c_str(), 1);
#endif
    EXPECT_EQ(outcome.status, GitOutcome::Status::kNoGit);
    EXPECT_EQ(outcome.why, "the git program is not installed (or not on PATH)");
}
