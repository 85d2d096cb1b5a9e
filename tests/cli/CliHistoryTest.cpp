// velqo-cli's history commands run as a program against a substitute box
// over loopback: diff between backups and with the box, history, and a
// backup's report committed into git.
#include <set>

#include <nlohmann/json.hpp>

#include "base/ChildProcess.h"
#include "tests/cli/CliBackupFixture.h"

using namespace cli_test;

TEST_F(CliBackupTest, DiffTellsEachFileAndExitsByWhetherAnythingDiffers) {
    BoxSimulator& box = StartBox("box");
    ASSERT_EQ(Cli(box, {"backup"}).status, 0);
    WriteFile("box/settings.txt", "a=1\r\nb=3");
    WriteFile("box/image.bin", RepeatableBytes(70000, 2));
    ASSERT_EQ(Cli(box, {"backup"}).status, 0);
    const struct {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> lines;  // in stdout, in this order
    } cases[] = {
        {{"diff", "latest~1", "latest"},
         1,
         {"changed settings.txt\n--- latest~1/settings.txt\n+++ latest/settings.txt\n"
          "@@ -1,2 +1,2 @@\n a=1\\r\n-b=2\\r\n+b=3\n\\ No newline at end of file\nchanged",
          "changed image.bin\n  binary: 70000 -> 70000 bytes, first difference at byte 0\n",
          "same two words.txt\n"}},
        {{"diff", "--names-only", "latest~1", "latest"},
         1,
         {"changed settings.txt\nchanged image.bin\nsame two words.txt\n"}},
        {{"diff", "latest", "latest~0"}, 0, {"same settings.txt\n"}},
        {{"diff", "latest", "box"}, 0, {"same image.bin\n"}},
        {{"diff", "latest~2", "latest"}, 1, {}},
        {{"diff", "latest"}, 2, {}},
    };
    for (const auto& c : cases) {
        const ProgramResult r = Cli(box, c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << "\n" << r.err;
        size_t at = 0;
        for (const std::string& line : c.lines) {
            at = r.out.find(line, at);
            EXPECT_NE(at, std::string::npos) << line << "\nin:\n" << r.out;
        }
    }
    // The live box, changed since: read back, never written.
    WriteFile("box/abc.txt", "abd");
    const ProgramResult live = Cli(box, {"--json", "diff", "latest", "box"});
    EXPECT_EQ(live.status, 1);
    const auto json = nlohmann::json::parse(live.out);
    EXPECT_FALSE(json["same"]);
    for (const auto& file : json["files"]) {
        if (file["name"] == "abc.txt") {
            EXPECT_EQ(file["result"], "changed");
        }
        if (file["name"] == "settings.txt") {
            EXPECT_EQ(file["result"], "same");
        }
    }
    EXPECT_EQ(ReadFile("box/abc.txt"), "abd");
    // The document keeps the diff's text as it is, CR and all.
    const auto between =
        nlohmann::json::parse(Cli(box, {"--json", "diff", "latest~1", "latest"}).out);
    EXPECT_EQ(between["files"][0]["diff"],
              "--- latest~1/settings.txt\n+++ latest/settings.txt\n@@ -1,2 +1,2 @@\n a=1\r\n"
              "-b=2\r\n+b=3\n\\ No newline at end of file\n");
}

TEST_F(CliBackupTest, HistoryAndTheBackupReportSayWhatChangedAndGitKeepsIt) {
    BoxSimulator& box = StartBox("box");
#ifdef _WIN32
    // No git under Wine: the backup is kept, and the message says what is missing.
    const ProgramResult noGit = Cli(box, {"backup", "--git", "repo"});
    EXPECT_EQ(noGit.status, 1);
    EXPECT_TRUE(Contains(noGit.err,
                         "the backup is complete but was not committed to repo: "
                         "the git program is not installed (or not on PATH)"))
        << noGit.err;
    fs::remove_all("pc/backup");
    const std::vector<std::string> git;
#else
    const std::vector<std::string> git = {"--git", "repo"};
#endif
    const auto backup = [&](std::vector<std::string> args) {
        args.insert(args.end(), git.begin(), git.end());
        return Cli(box, args);
    };
    const ProgramResult first = backup({"backup", "--report"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(Contains(first.err, "velqo-cli: the first complete backup of")) << first.err;
    const ProgramResult same = backup({"backup", "--report"});
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_TRUE(Contains(same.err, "nothing changed since the previous complete backup"));
    WriteFile("box/settings.txt", "a=2\n");
    // What --report asks for is told at -q too.
    const ProgramResult changed = backup({"-q", "--json", "backup", "--report"});
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_TRUE(Contains(changed.err, "velqo-cli: changed settings.txt\n")) << changed.err;
    const auto json = nlohmann::json::parse(changed.out);
    EXPECT_EQ(json["changes"],
              nlohmann::json::parse(R"([{"name":"settings.txt","result":"changed"}])"));

    const std::string stem = "127.0.0.1+" + std::to_string(box.Port());
#ifndef _WIN32
    EXPECT_TRUE(Contains(same.err, "already holds these files: no commit")) << same.err;
    EXPECT_FALSE(json["git"]["commit"].is_null());
    // An excluded group's files go from the box's folder with the next
    // commit, titled so; the repository's working tree is left as it was.
    ASSERT_EQ(backup({"backup", "--git-exclude", "Firmware"}).status, 0);
    const ChildOutcome log =
        ChildProcess::Run("git", {"-C", "pc/repo", "log", "--format=%s"}, std::chrono::seconds(60));
    EXPECT_EQ(log.output, stem + ": 1 removed: image.bin\n" + stem + ": 1 changed: settings.txt\n" +
                              stem + ": first\n");
    const ChildOutcome files =
        ChildProcess::Run("git", {"-C", "pc/repo", "ls-tree", "--name-only", "HEAD:" + stem},
                          std::chrono::seconds(60));
    EXPECT_TRUE(Contains(files.output, "settings.txt\n")) << files.output;
    EXPECT_FALSE(Contains(files.output, "image.bin")) << files.output;
    EXPECT_FALSE(Exists("pc/repo/" + stem));
#endif

    // A second backup within a second, with its -N: the columns still line up.
    for (const auto& e : fs::directory_iterator("pc/backup")) {
        if (e.is_directory()) {
            fs::copy(e.path(), "pc/backup/" + stem + "-20200101-000000-2");
            break;
        }
    }
    const ProgramResult history = Cli(box, {"history"});
    EXPECT_EQ(history.status, 0) << history.err;
    std::set<size_t> columns;
    for (size_t at = 0; at < history.out.size(); at = history.out.find('\n', at) + 1) {
        columns.insert(history.out.find("complete", at + 20) - at);  // after the date
    }
    EXPECT_EQ(columns.size(), 1u) << history.out;
    EXPECT_TRUE(Contains(history.out, "complete     6 files  1 changed: settings.txt\n"))
        << history.out;
    EXPECT_TRUE(Contains(history.out, "complete     6 files  first\n")) << history.out;
    const ProgramResult named =
        RunProgram(SiblingProgram("velqo-cli"), {"-C", "pc", "history", stem});
    EXPECT_EQ(Lf(named.out), history.out);
    EXPECT_EQ(Cli(box, {"backup", "--git-exclude", "Firmware"}).status, 2);
}
