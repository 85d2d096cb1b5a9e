// A box's backups committed into a git repository: one folder per box, a
// commit per change titled with what it changes there and dated with the
// backup's time, none for an unchanged box; excluded groups left out; the
// repository's working tree, index and hooks never used.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/ChildProcess.h"
#include "history/GitCommand.h"
#include "history/GitHistory.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds kGitLimit{60};

// git as the repository's user runs it.
std::string Git(const fs::path& repository, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"-C", repository.string(),        "-c", "user.name=User",
                                    "-c", "user.email=user@localhost"};
    all.insert(all.end(), args.begin(), args.end());
    const ChildOutcome run = ChildProcess::Run("git", all, kGitLimit);
    EXPECT_EQ(run.status, 0) << run.output;
    return run.output;
}

// The paths HEAD's tree holds, one a line.
std::string Tracked(const fs::path& repository) {
    return Git(repository, {"ls-tree", "-r", "--name-only", "HEAD"});
}

StoredFile Config(const std::string& bytes, int type = 1) {
    return {"Settings", "config.txt", type, bytes};
}
StoredFile Channels(const std::string& bytes) {
    return {"Channels", "channels.db", 2, bytes};
}
const StoredFile kFirmware = {"Firmware", "image.bin", 2, std::string(4096, '\x5a')};

}  // namespace

TEST(GitCommandTest, AFailureIsToldOnOneLineWithGitsWordsEscaped) {
    ChildOutcome failed;
    failed.started = true;
    failed.status = 128;
    failed.output = "fatal: \x1b]0;title\x07\nhint: more\n";
    ChildOutcome stopped = failed;
    stopped.timedOut = true;
    ChildOutcome missing;
    missing.notFound = true;
    const struct {
        ChildOutcome run;
        const char* words;
    } cases[] = {
        {failed, "git write-tree: fatal: \\x1b]0;title\\x07 hint: more"},
        {stopped, "git write-tree took longer than 120 s and was stopped"},
        {missing, "the git program is not installed (or not on PATH)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GitCommand::Failure("write-tree", c.run), c.words);
        EXPECT_FALSE(GitCommand::Succeeded(c.run)) << c.words;
    }
}

#ifndef _WIN32
TEST(GitHistoryTest, EachCommitIsTitledWithWhatItChangesAndAnUnchangedBoxMakesNone) {
    TempDir dir;
    const fs::path repository = dir.Path() / "history";
    const std::vector<StoredFile> three = {Config("a\n"), Channels("x"), kFirmware};
    const struct {
        const char* stamp;
        std::vector<StoredFile> files;
        std::vector<std::string> excluded;
        GitOutcome::Status status;
        const char* message;
        const char* tracked;  // HEAD's tree afterwards
    } steps[] = {
        {"20261201100000",
         three,
         {"Firmware"},
         GitOutcome::Status::kCommitted,
         "127.0.0.1: first",
         "127.0.0.1/channels.db\n127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n"},
        // A group no longer left out: its files come in.
        {"20261202100000",
         three,
         {},
         GitOutcome::Status::kCommitted,
         "127.0.0.1: 1 added: image.bin\n\nadded image.bin",
         "127.0.0.1/channels.db\n127.0.0.1/config.txt\n127.0.0.1/image.bin\n"
         "127.0.0.1/manifest.txt\n"},
        // Left out again: they go.
        {"20261203100000",
         three,
         {"Firmware"},
         GitOutcome::Status::kCommitted,
         "127.0.0.1: 1 removed: image.bin\n\nremoved image.bin",
         "127.0.0.1/channels.db\n127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n"},
        {"20261204100000",
         three,
         {"Firmware"},
         GitOutcome::Status::kUnchanged,
         "",
         "127.0.0.1/channels.db\n127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n"},
        {"20261205100000",
         {Config("b\n"), kFirmware},
         {"Firmware"},
         GitOutcome::Status::kCommitted,
         "127.0.0.1: 1 changed: config.txt; 1 removed: channels.db\n\nchanged config.txt\n"
         "removed channels.db",
         "127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n"},
        // Only a file's type changed: the manifest alone says so.
        {"20261206100000",
         {Config("b\n", 3), kFirmware},
         {"Firmware"},
         GitOutcome::Status::kCommitted,
         "127.0.0.1: 1 changed: manifest.txt\n\nchanged manifest.txt",
         "127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n"},
    };
    int commits = 0;
    for (const auto& step : steps) {
        const BackupName name = StoredName("127.0.0.1", step.stamp);
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, step.files);
        const GitOutcome outcome = GitHistory(repository, step.excluded).Commit(folder, name);
        ASSERT_EQ(outcome.status, step.status) << step.stamp << ": " << outcome.why;
        commits += outcome.status == GitOutcome::Status::kCommitted ? 1 : 0;
        EXPECT_EQ(Git(repository, {"rev-list", "--count", "HEAD"}), std::to_string(commits) + "\n");
        EXPECT_EQ(Tracked(repository), step.tracked) << step.stamp;
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
        ASSERT_EQ(git.Commit(folder, name).status, GitOutcome::Status::kCommitted);
    }
    EXPECT_EQ(Tracked(dir.Path() / "history"),
              "127.0.0.1+4000/config.txt\n127.0.0.1+4000/manifest.txt\n"
              "127.0.0.1/config.txt\n127.0.0.1/manifest.txt\n");
}

TEST(GitHistoryTest, TheRepositorysRulesNeitherKeepOutNorChangeABoxFile) {
    TempDir dir;
    const fs::path repository = dir.Path() / "history";
    fs::create_directories(repository);
    Git(repository, {"init", "-q"});
    WriteFile("history/.gitignore", "*.db\n*.txt\n");
    WriteFile("history/.gitattributes", "* text\n*.db filter=mark\n");
    Git(repository, {"config", "filter.mark.clean", "touch " + (dir.Path() / "filtered").string()});
    Git(repository, {"add", ".gitignore", ".gitattributes"});
    Git(repository, {"commit", "-q", "-m", "rules"});
    WriteFile("history/.git/info/attributes", "* text\n*.db filter=mark\n");
    const BackupName name = StoredName("127.0.0.1", "20261201100000");
    const fs::path folder =
        WriteStoredBackup(dir.Path() / "store", name, {Config("a\r\n"), Channels("x\r\n")});
    const GitOutcome outcome = GitHistory(repository, {}).Commit(folder, name);
    ASSERT_EQ(outcome.status, GitOutcome::Status::kCommitted) << outcome.why;
    EXPECT_EQ(Tracked(repository),
              ".gitattributes\n.gitignore\n127.0.0.1/channels.db\n127.0.0.1/config.txt\n"
              "127.0.0.1/manifest.txt\n");
    EXPECT_EQ(Git(repository, {"cat-file", "blob", "HEAD:127.0.0.1/config.txt"}), "a\r\n");
    EXPECT_EQ(Git(repository, {"cat-file", "blob", "HEAD:127.0.0.1/channels.db"}), "x\r\n");
    EXPECT_FALSE(Exists("filtered"));
}

TEST(GitHistoryTest, TheUsersFilesAndIndexStayAsTheyWere) {
    TempDir dir;
    const fs::path repository = dir.Path() / "history";
    const GitHistory git(repository, {});
    const BackupName before = StoredName("127.0.0.1", "20261201100000");
    ASSERT_EQ(
        git.Commit(WriteStoredBackup(dir.Path() / "store", before, {Config("a\n")}), before).status,
        GitOutcome::Status::kCommitted);
    // The user brings the box's folder up to date, as README says, and
    // works beside it.
    Git(repository, {"restore", "--source=HEAD", "--staged", "--worktree", "--", "127.0.0.1/"});
    WriteFile("history/top.txt", "mine\n");
    Git(repository, {"add", "top.txt"});
    Git(repository, {"commit", "-q", "-m", "mine"});
    enum class How { kUntracked, kStaged, kModified };
    const struct {
        const char* path;
        How how;
    } files[] = {
        {"127.0.0.1/notes-untracked.txt", How::kUntracked},
        {"127.0.0.1/sub/kept.txt", How::kUntracked},
        {"127.0.0.1/staged.txt", How::kStaged},
        {"127.0.0.1/config.txt", How::kModified},
        {"other/untracked.txt", How::kUntracked},
        {"other/staged.txt", How::kStaged},
        {"top.txt", How::kModified},
    };
    for (const auto& f : files) {
        fs::create_directories((fs::path("history") / f.path).parent_path());
        WriteFile((fs::path("history") / f.path).string(), std::string("user's ") + f.path);
        if (f.how == How::kStaged) {
            Git(repository, {"add", f.path});
        }
    }
    const std::string index = ReadFile("history/.git/index");
    const std::string status = Git(repository, {"status", "--porcelain", "-uall"});
    const BackupName after = StoredName("127.0.0.1", "20261202100000");
    const GitOutcome outcome = git.Commit(
        WriteStoredBackup(dir.Path() / "store", after, {Config("b\n"), Channels("x")}), after);
    ASSERT_EQ(outcome.status, GitOutcome::Status::kCommitted) << outcome.why;
    for (const auto& f : files) {
        EXPECT_EQ(ReadFile((fs::path("history") / f.path).string()),
                  std::string("user's ") + f.path);
    }
    EXPECT_EQ(ReadFile("history/.git/index"), index);
    EXPECT_FALSE(Exists("history/127.0.0.1/channels.db"));
    EXPECT_EQ(Git(repository, {"cat-file", "blob", "HEAD:127.0.0.1/config.txt"}), "b\n");
    EXPECT_EQ(Git(repository, {"cat-file", "blob", "HEAD:top.txt"}), "mine\n");
    // git status now compares the user's index with the new commit: the
    // box's new file shows as staged for removal.
    EXPECT_NE(status, Git(repository, {"status", "--porcelain", "-uall"}));
    EXPECT_NE(Git(repository, {"status", "--porcelain"}).find("D  127.0.0.1/channels.db\n"),
              std::string::npos);
}

TEST(GitHistoryTest, ABranchFileNoBackupPutThereStopsTheCommitWithItsName) {
    TempDir dir;
    const struct {
        bool backupFirst;
        const char* userFile;  // committed by the user
        const char* named;
    } cases[] = {
        {false, "127.0.0.1", "the repository's '127.0.0.1' is not a folder"},
        {false, "127.0.0.1/notes.txt",
         "the repository's '127.0.0.1/notes.txt' is not a file a backup of the box put there"},
        {true, "127.0.0.1/notes.txt",
         "the repository's '127.0.0.1/notes.txt' is not a file a backup of the box put there"},
        {true, "127.0.0.1/sub/notes.txt",
         "the repository's '127.0.0.1/sub' is not a file a backup of the box put there"},
    };
    int round = 0;
    for (const auto& c : cases) {
        const fs::path repository = dir.Path() / ("history" + std::to_string(++round));
        const GitHistory git(repository, {});
        const BackupName first = StoredName("127.0.0.1", "20261201100000", round);
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", first, {Config("a\n")});
        fs::create_directories(repository);
        Git(repository, {"init", "-q"});
        if (c.backupFirst) {
            ASSERT_EQ(git.Commit(folder, first).status, GitOutcome::Status::kCommitted);
        }
        fs::create_directories((repository / c.userFile).parent_path());
        WriteFile((repository / c.userFile).string(), "notes");
        Git(repository, {"add", c.userFile});
        Git(repository, {"commit", "-q", "-m", "notes"});
        const std::string head = Git(repository, {"rev-parse", "HEAD"});
        const BackupName next = StoredName("127.0.0.1", "20261202100000", round);
        const GitOutcome outcome =
            git.Commit(WriteStoredBackup(dir.Path() / "store", next, {Config("b\n")}), next);
        EXPECT_EQ(outcome.status, GitOutcome::Status::kFailed) << c.userFile;
        EXPECT_EQ(outcome.why, std::string(c.named) + "; nothing was committed");
        EXPECT_EQ(Git(repository, {"rev-parse", "HEAD"}), head) << c.userFile;
    }
}

TEST(GitHistoryTest, NoHookAndNoFsmonitorOfTheRepositoryRuns) {
    TempDir dir;
    const fs::path repository = dir.Path() / "history";
    fs::create_directories(repository);
    Git(repository, {"init", "-q"});
    fs::create_directories("ran");
    fs::create_directories("hooks");
    const std::string script =
        "#!/bin/sh\ntouch " + (dir.Path() / "ran").string() + "/\"$(basename \"$0\")\"\n";
    for (const char* hook : {"pre-commit", "commit-msg", "post-commit", "reference-transaction",
                             "post-index-change", "pre-auto-gc"}) {
        for (const fs::path& folder : {repository / ".git" / "hooks", dir.Path() / "hooks"}) {
            WriteFile((folder / hook).string(), script);
            fs::permissions(folder / hook, fs::perms::owner_all);
        }
    }
    WriteFile("fsmonitor", script);
    fs::permissions("fsmonitor", fs::perms::owner_all);
    Git(repository, {"config", "core.fsmonitor", (dir.Path() / "fsmonitor").string()});
    Git(repository, {"config", "core.hooksPath", (dir.Path() / "hooks").string()});
    const BackupName name = StoredName("127.0.0.1", "20261201100000");
    const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, {Config("a\n")});
    const GitOutcome outcome = GitHistory(repository, {}).Commit(folder, name);
    ASSERT_EQ(outcome.status, GitOutcome::Status::kCommitted) << outcome.why;
    EXPECT_TRUE(fs::is_empty("ran"));
    // The hooks work: the user's own git runs them.
    Git(repository, {"update-ref", "refs/tags/probe", "HEAD"});
    EXPECT_TRUE(Exists("ran/reference-transaction"));
}

TEST(GitHistoryTest, ABoxNamedLikeAFolderOfItsOwnNeverLeavesTheRepository) {
    TempDir dir;
    fs::create_directories("outside/history");
    WriteFile("outside/keep.txt", "mine");
    WriteFile("outside/history/.gitignore", "*.tmp\n");
    const GitHistory git(dir.Path() / "outside" / "history", {});
    for (const char* host : {"..", ".", ".git", ".gitignore"}) {
        // Folders an earlier version may have written: a box name is encoded now.
        BackupName name;
        ASSERT_TRUE(BackupName::Parse(std::string(host) + "-20261201-100000", &name)) << host;
        const fs::path folder = WriteStoredBackup(dir.Path() / "store", name, {Config("a\n")});
        const GitOutcome outcome = git.Commit(folder, name);
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
        const GitOutcome outcome = GitHistory(repository, c.excluded).Commit(folder, name);
        ASSERT_EQ(outcome.status, c.status) << c.file << ": " << outcome.why;
        if (c.status == GitOutcome::Status::kFailed) {
            EXPECT_EQ(outcome.why, std::string("the box's file '") + c.file +
                                       "' would be read by git as its own; leave its group out");
            EXPECT_NE(ChildProcess::Run("git", {"-C", repository.string(), "rev-parse", "HEAD"},
                                        kGitLimit)
                          .status,
                      0)
                << c.file;
        } else {
            EXPECT_NE(Tracked(repository).find("127.0.0.1/config.txt\n"), std::string::npos)
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
        runs.emplace_back([&, k] { outcomes[k] = git.Commit(folders[k], names[k]); });
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
    const GitOutcome outcome = GitHistory(dir.Path() / "history", {}).Commit(folder, name);
#ifdef _WIN32
    _putenv_s("PATH", path.c_str());
#else
    setenv("PATH", path.c_str(), 1);
#endif
    EXPECT_EQ(outcome.status, GitOutcome::Status::kNoGit);
    EXPECT_EQ(outcome.why, "the git program is not installed (or not on PATH)");
}
