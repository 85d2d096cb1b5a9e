// velqo-cli and velqo-boxsim as command-line tools: option forms, mistakes
// and --version, each with the first line it prints and its exit status;
// and the progress line on a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Version.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TextChecks.h"

#ifndef _WIN32
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#endif

namespace fs = std::filesystem;

namespace {

class CliCommandLineTest : public ::testing::Test {
protected:
    CliCommandLineTest() {
        WriteFile("box/manifest.txt", "Config settings.txt 1\nData big.bin 2\n");
        WriteFile("box/settings.txt", "a=1\n");
        WriteFile("box/big.bin", std::string(kBigSize, 'b'));
    }

    void StartBox(BoxSimOptions options = {}) { box = &rig.StartBox(options); }

    static constexpr size_t kBigSize = 300000;
    BoxRig rig;
    BoxSimulator* box = nullptr;  // not owned: the rig's
};

}  // namespace

TEST_F(CliCommandLineTest, FirstLineAndExitStatusOfEachCommandLine) {
    StartBox();
    const std::string port = std::to_string(box->Port());
    const std::string closed = std::to_string(ClosedLoopbackPort());
    fs::create_directories("cfg/config");
    WriteFile("cfg/config/config.ini", "BOXIP = 127.0.0.1\n");
    fs::create_directories("octal/config");
    WriteFile("octal/config/config.ini", "PASSWORD=7351\nBOXIP=0177.0.0.1\n");
    fs::create_directories("typo/config");
    WriteFile("typo/config/config.ini", "PASWORD=7351\n");
    fs::create_directories("held");
    WriteFile("held/config.txt", "a user's own");
    const std::string cliVersion = std::string("velqo-cli ") + version::kText;
    const std::string usage = "Usage: velqo-cli [OPTION]... list";
    const std::string listed = "Config\tsettings.txt\t1";
    struct Case {
        const char* program;
        std::vector<std::string> args;
        std::string first;  // what the first line of stdout, else of stderr, starts with
        int status;
    };
    const std::vector<Case> cases = {
        {"velqo-cli", {"--version"}, cliVersion, 0},
        {"velqo-cli", {"-V"}, cliVersion, 0},
        {"velqo-cli", {"list", "--help"}, usage, 0},
        {"velqo-cli", {"/?"}, usage, 0},
        {"velqo-cli", {"help", "restore"}, "Usage: velqo-cli [OPTION]... restore [--dry-run]", 0},
        {"velqo-cli", {"help", "lsit"}, "velqo-cli: help: unknown command 'lsit'; did you mean", 2},
        {"velqo-cli", {"help", "get", "put"}, "velqo-cli: help takes at most one command", 2},
        {"velqo-cli", {}, "velqo-cli: no command given (list, get, put, backup, restore", 2},
        {"velqo-cli", {"lsit"}, "velqo-cli: unknown command 'lsit'; did you mean 'list'?", 2},
        {"velqo-cli", {"bakcup"}, "velqo-cli: unknown command 'bakcup'; did you mean 'backup'?", 2},
        {"velqo-cli", {"fetch"}, "velqo-cli: unknown command 'fetch'\n", 2},
        {"velqo-cli",
         {"--hots", "h", "list"},
         "velqo-cli: unknown option '--hots'; did you mean '--host'?",
         2},
        {"velqo-cli", {"list", "--verify"}, "velqo-cli: option --verify does not apply to list", 2},
        {"velqo-cli",
         {"-p", "0", "list"},
         "velqo-cli: -p needs a number from 1 to 65535, not '0'",
         2},
        {"velqo-cli", {"--port=70000", "list"}, "velqo-cli: --port needs a number from 1 to", 2},
        {"velqo-cli", {"list", "--json=yes"}, "velqo-cli: option --json takes no value", 2},
        {"velqo-cli", {"list", "-H"}, "velqo-cli: option -H needs a value", 2},
        {"velqo-cli",
         {"-qv", "list"},
         "velqo-cli: --quiet and --verbose cannot be used together",
         2},
        {"velqo-cli", {"backup", "--keep=0"}, "velqo-cli: --keep needs a number of backups", 2},
        {"velqo-cli",
         {"backup", "--keep=1000000"},
         "velqo-cli: --keep needs a number of backups from 1 to 999999, not '1000000'",
         2},
        {"velqo-cli", {"get"}, "velqo-cli: get needs at least one file name", 2},
        {"velqo-cli",
         {"-C", "pc", "diff", "lates", "boks"},
         "velqo-cli: lates: no such folder (read under -C pc); did you mean 'latest'?",
         2},
        {"velqo-cli",
         {"get", "-odd"},
         "velqo-cli: unknown option '-o' in '-odd' (a name that starts with '-' goes after --)",
         2},
        // The address and the rest in every form, before and after the command.
        {"velqo-cli", {"-H", "127.0.0.1", "-p", port, "-q", "list"}, listed, 0},
        {"velqo-cli", {"list", "--host", "127.0.0.1", "--port", port}, listed, 0},
        {"velqo-cli", {"-H127.0.0.1", "-p" + port, "-Cpc", "-q", "list"}, listed, 0},
        {"velqo-cli",
         {"--host=127.0.0.1", "--port=" + port, "--directory=pc", "list", "-q"},
         listed,
         0},
        {"velqo-cli",
         {"-qH", "127.0.0.1", "-p", port, "-C", "pc", "get", "--", "-odd"},
         "velqo-cli: -odd: not on the box's file list",
         1},
        // Messages that say what to do.
        {"velqo-cli",
         {"-qH", "127.0.0.1", "-p", closed, "list"},
         "velqo-cli: cannot connect to 127.0.0.1:" + closed + ": ",
         3},
        {"velqo-cli",
         {"-qH", "127.0.0.1", "-p", port, "--password", "1111", "list"},
         "velqo-cli: the box at 127.0.0.1:" + port + " refused the password (from --password)",
         3},
        {"velqo-cli",
         {"-qH", "127.0.0.1", "-p", port, "-C", "pc", "put", "nothere.txt"},
         "velqo-cli: nothere.txt: failed: cannot read pc",
         1},
        {"velqo-cli",
         {"-H", "127.0.0.1", "-p", port, "compare", "nothere"},
         "velqo-cli: nothere: no such folder",
         2},
        {"velqo-cli",
         {"-C", "cfg", "list"},
         "velqo-cli: cfg/config/config.ini line 1: ignored: did you mean BOXIP=?",
         2},
        {"velqo-cli",
         {"-C", "typo", "list"},
         "velqo-cli: typo/config/config.ini line 1: unknown key PASWORD ignored; did you mean "
         "PASSWORD=?",
         2},
        {"velqo-cli",
         {"-qH", "127.0.0.1", "-p", port, "-C", "pc", "get", "setings.txt"},
         "velqo-cli: setings.txt: not on the box's file list; did you mean 'settings.txt'?",
         1},
        // Addresses that a resolver reads as 127.0.0.1, where the box listens.
        {"velqo-cli",
         {"-H", "127.1", "-p", port, "list"},
         "velqo-cli: -H '127.1' is not an IPv4 address: write four decimal numbers",
         2},
        {"velqo-cli",
         {"-C", "octal", "-p", port, "list"},
         "velqo-cli: octal/config/config.ini line 2: BOXIP '0177.0.0.1' is not an IPv4 address",
         2},
        {"velqo-boxsim",
         {"--listen", "0x7f.0.0.1", "--port", "0"},
         "velqo-boxsim: --listen '0x7f.0.0.1' is not an IPv4 address",
         2},
        {"velqo-boxsim", {"-V"}, std::string("velqo-boxsim ") + version::kText, 0},
        {"velqo-boxsim",
         {"--port=nine"},
         "velqo-boxsim: --port: \"nine\" is not a decimal number",
         2},
        {"velqo-boxsim",
         {"--folder", "pc", "--port", "0"},
         "velqo-boxsim: pc/manifest.txt: does not exist; a served folder needs a manifest of its "
         "files: velqo-boxsim --make-demo DIR",
         1},
        {"velqo-boxsim", {"--make-demo", "held"}, "velqo-boxsim: held already holds files", 1},
        {"velqo-boxsim", {"--make-demo=held", "--force"}, "velqo-boxsim: demo written to held", 0},
    };
    for (const Case& c : cases) {
        std::string line = c.program;
        for (const std::string& a : c.args) {
            line += " " + a;
        }
        SCOPED_TRACE(line);
        const int before = box->Stats().connectionsAccepted;
        const ProgramResult r = RunProgram(SiblingProgram(c.program), c.args);
        const std::string first = FirstLine(r.out.empty() ? r.err : r.out) + "\n";
        EXPECT_EQ(first.rfind(c.first, 0), 0u) << first << r.err;
        EXPECT_EQ(r.status, c.status);
        if (c.status == 2) {
            // One line naming the mistake, then where to read more.
            EXPECT_TRUE(r.out.empty());
            EXPECT_NE(r.err.find("Try '" + std::string(c.program) + " --help'."),
                      std::string::npos);
            EXPECT_EQ(box->Stats().connectionsAccepted, before);
        }
    }
    EXPECT_TRUE(Exists("held/channels.db"));  // --force wrote the demo
}

#ifndef _WIN32
// A backup on a pseudo-terminal: stderr is a terminal, so the progress line
// is drawn; with -q it is not.
TEST_F(CliCommandLineTest, ProgressLineOnAPseudoTerminal) {
    BoxSimOptions paced;
    paced.paceMs = 2;  // big.bin takes about half a second
    StartBox(paced);
    const auto run = [&](bool quiet) {
        std::vector<std::string> args = {SiblingProgram("velqo-cli"), "-H", "127.0.0.1", "-p",
                                         std::to_string(box->Port()), "-C", "pc",        "backup"};
        if (quiet) {
            args.push_back("-q");
        }
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        int master = -1;
        const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
        if (child == 0) {
            execv(argv[0], argv.data());
            _exit(127);
        }
        std::string seen;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        char buffer[4096];
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) {
                continue;
            }
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) {
                break;  // the program has ended and closed the terminal
            }
            seen.append(buffer, static_cast<size_t>(n));
        }
        close(master);
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << seen;
        return seen;
    };
    const std::string shown = run(false);
    // The line of the second file, midway: its place, name, bytes, speed, time left.
    bool midway = false;
    for (size_t at = shown.find("\rfile 2 of 2  big.bin "); at != std::string::npos;
         at = shown.find("\rfile 2 of 2  big.bin ", at + 1)) {
        const std::string line = shown.substr(at + 1, shown.find("\033[K", at) - at - 1);
        midway =
            midway ||
            (line.find(" KiB  ") != std::string::npos && line.find(" of ~") != std::string::npos &&
             line.find("KiB/s  ") != std::string::npos && line.find(" left") != std::string::npos);
    }
    EXPECT_TRUE(midway) << shown;
    EXPECT_NE(shown.find("\rfile 2 of 2  big.bin  100%  293.0 of 293.0 KiB  "), std::string::npos);
    // stdout is the same terminal: the folder is named once.
    const size_t folder = shown.find("pc/backup/127.0.0.1+");
    EXPECT_NE(folder, std::string::npos) << shown;
    EXPECT_EQ(shown.find("pc/backup/127.0.0.1+", folder + 1), std::string::npos) << shown;
    EXPECT_NE(shown.find("velqo-cli: backup of 2 file(s) complete\r\n"), std::string::npos)
        << shown;
    const std::string quiet = run(true);
    EXPECT_EQ(quiet.find("file 2 of 2"), std::string::npos) << quiet;
    EXPECT_EQ(quiet.find("PC > "), std::string::npos) << quiet;
}
#endif
