// Another program run with arguments as they are: each reaches it whole,
// blanks, quotes and backslashes included (on Windows the command line is
// quoted for the C runtime to split back); its output and status come back.
// It is found in PATH's absolute folders only, and stopped at its time limit.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "base/ChildProcess.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds kLimit{60};

#ifdef _WIN32
constexpr char kPathSeparator = ';';
#else
constexpr char kPathSeparator = ':';
#endif

// PATH set for as long as the object lives.
class PathSetting {
public:
    explicit PathSetting(const std::string& value)
        : old_(std::getenv("PATH") == nullptr ? "" : std::getenv("PATH")) {
        Set(value);
    }
    ~PathSetting() { Set(old_); }
    PathSetting(const PathSetting&) = delete;
    PathSetting& operator=(const PathSetting&) = delete;

private:
    static void Set(const std::string& value) {
#ifdef _WIN32
        _putenv_s("PATH", value.c_str());
#else
        setenv("PATH", value.c_str(), 1);
#endif
    }
    std::string old_;
};

// A file removed when the object goes.
class PlantedFile {
public:
    explicit PlantedFile(fs::path path) : path_(std::move(path)) {}
    ~PlantedFile() {
        std::error_code ec;
        fs::remove(path_, ec);
    }
    PlantedFile(const PlantedFile&) = delete;
    PlantedFile& operator=(const PlantedFile&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

TEST(ChildProcessTest, EachArgumentArrivesWholeAndTheStatusAndOutputComeBack) {
    const struct {
        const char* word;
        const char* shown;  // as velqo-cli quotes an unknown command, backslashes doubled
    } cases[] = {
        {"lis t", "lis t"},
        {"a\"b", "a\"b"},
        {"a\\\"b c\\", "a\\\\\"b c\\\\"},
        {"C:\\dir\\", "C:\\\\dir\\\\"},
        {"tab\there", "tab\\there"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const ChildOutcome run = ChildProcess::Run(SiblingProgram("velqo-cli"), {c.word}, kLimit);
        EXPECT_TRUE(run.started) << run.output;
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.status, 2) << c.word;
        EXPECT_NE(run.output.find(std::string("unknown command '") + c.shown + "'"),
                  std::string::npos)
            << run.output;
    }
    const ChildOutcome missing = ChildProcess::Run("velqo-no-such-program", {}, kLimit);
    EXPECT_FALSE(missing.started);
    EXPECT_TRUE(missing.notFound) << missing.output;
}

TEST(ChildProcessTest, AProgramIsFoundInAbsoluteFoldersOfPathOnly) {
    TempDir dir;
    fs::create_directories("relative");
    // A "git" where a downloaded box file could be: the current folder (and
    // one below it), and on Windows the program's own folder too.
#ifdef _WIN32
    const std::string planted = "git.exe";
    const PlantedFile own(fs::path(SiblingProgram("velqo-cli")).parent_path() / planted);
    for (const fs::path& to :
         {own.Path(), dir.Path() / planted, dir.Path() / "relative" / planted}) {
        // Removed first: Wine's copy over a file left by an earlier run
        // may fail with "File exists".
        std::error_code ec;
        fs::remove(to, ec);
        fs::copy_file(SiblingProgram("velqo-cli"), to, ec);
        ASSERT_FALSE(ec) << to << ": " << ec.message();
    }
    const std::string below = ".\\relative";
#else
    const std::string planted = "git";
    for (const fs::path& to : {dir.Path() / planted, dir.Path() / "relative" / planted}) {
        WriteFile(to.string(), "#!/bin/sh\necho velqo-cli planted\n");
        fs::permissions(to, fs::perms::owner_all);
    }
    const std::string below = "./relative";
#endif
    const std::string sep(1, kPathSeparator);
    const struct {
        std::string path;
        bool runs;
    } cases[] = {
        {"", false},
        {".", false},
        {"relative", false},
        {below, false},
        {sep + "relative" + sep, false},
        {dir.Path().string(), true},  // the same file in an absolute folder is run
    };
    for (const auto& c : cases) {
        const PathSetting path(c.path);
        const ChildOutcome run = ChildProcess::Run("git", {"--version"}, kLimit);
        EXPECT_EQ(run.started, c.runs) << "PATH=" << c.path << ": " << run.output;
        EXPECT_EQ(Contains(run.output, "velqo-cli"), c.runs) << "PATH=" << c.path;
        EXPECT_EQ(ChildProcess::Find("git").empty(), !c.runs) << "PATH=" << c.path;
    }
}

TEST(ChildProcessTest, AProgramPastItsTimeLimitIsStoppedWithItsOutputSoFar) {
    TempDir dir;
    fs::create_directories("served");
    WriteFile("served/manifest.txt", "");
    constexpr std::chrono::milliseconds kShortLimit{300};
    constexpr std::chrono::seconds kStoppedWithin{10};
    const struct {
        std::string program;
        std::vector<std::string> args;
        const char* said;
    } cases[] = {
        // Serves until stopped.
        {SiblingProgram("velqo-boxsim"),
         {"--listen", "127.0.0.1", "--port", "0", "--folder", "served"},
         "listening on 127.0.0.1:"},
#ifndef _WIN32
        // Ends at once, but what it started holds the output open.
        {"/bin/sh", {"-c", "echo started; sleep 30 &"}, "started"},
#endif
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ChildOutcome run = ChildProcess::Run(c.program, c.args, kShortLimit);
        EXPECT_LT(std::chrono::steady_clock::now() - start, kStoppedWithin) << c.program;
        EXPECT_TRUE(run.started) << run.output;
        EXPECT_TRUE(run.timedOut) << c.program;
        EXPECT_TRUE(Contains(run.output, c.said)) << run.output;
    }
}
