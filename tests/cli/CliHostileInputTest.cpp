// velqo-cli against input from outside that is out to harm: names and texts
// with terminal control sequences, quotes of any length, settings files that
// are no files.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "boxsim/BoxSimulator.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TextChecks.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// True when the text holds a control character other than a line end or a tab.
bool HoldsRawControls(const std::string& text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\n' && u != '\t' && u != '\r') || u == 0x7F) {
            return true;
        }
    }
    return false;
}

// Runs velqo-cli; a program that does not end within the limit is killed
// (where it can be) and counts as status -1.
ProgramResult Cli(const std::vector<std::string>& args) {
#ifdef _WIN32
    ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), args);
#else
    constexpr int kLimitMs = 10000;
    BackgroundProgram program(SiblingProgram("velqo-cli"), args);
    ProgramResult r;
    r.status = program.Wait(kLimitMs) ? program.ExitStatus() : -1;
    r.out = program.Out();
    r.err = program.Err();
#endif
    r.out = Lf(r.out);
    r.err = Lf(r.err);
    return r;
}

class CliHostileInput : public ::testing::Test {
protected:
    CliHostileInput() {
        WriteFile("box/manifest.txt", "G settings.txt 1\n");
        WriteFile("box/settings.txt", "a=1\n");
        WriteFile("pc/settings.txt", "a=2\n");
    }

    void StartBox(BoxSimOptions options = {}) { sim = &rig.StartBox(options); }

    static std::vector<std::string> To(uint16_t port, std::vector<std::string> args) {
        return BoxRig::PointedAt(port, std::move(args));
    }

    BoxRig rig;
    BoxSimulator* sim = nullptr;  // not owned: the rig's
};

}  // namespace

// Names to escape, as a box lists them: one line per file, nothing that
// drives the terminal.
TEST_F(CliHostileInput, ListShowsControlCharactersInNamesEscaped) {
    ScriptedBox box;
    box.LoginAndList(
        "Grp\x1b[1m",
        {"\x1b]0;owned\x07", "a\nb", "tab\there\r", "back\\slash", "del\x7f", "caf\xc3\xa9"}, 1);
    box.Start();
    const ProgramResult r = Cli(To(box.Port(), {"list"}));
    box.Finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Grp\\x1b[1m\t\\x1b]0;owned\\x07\t1\n"
              "Grp\\x1b[1m\ta\\nb\t1\n"
              "Grp\\x1b[1m\ttab\\there\\r\t1\n"
              "Grp\\x1b[1m\tback\\\\slash\t1\n"
              "Grp\\x1b[1m\tdel\\x7f\t1\n"
              "Grp\\x1b[1m\tcaf\xc3\xa9\t1\n");
}

// A box's refusal is shown with the file's name, escaped, in the message and
// in the session's log line alike.
TEST_F(CliHostileInput, RefusalsNameTheFileAndAreShownEscaped) {
    BoxSimOptions options;
    options.refuseUpload = "No\x1b[2J way\nout";
    options.refuseDump = "Busy\x07";
    StartBox(options);
    const ProgramResult put = Cli(To(sim->Port(), {"put", "settings.txt"}));
    EXPECT_EQ(put.status, 1);
    EXPECT_NE(
        put.err.find("velqo-cli: settings.txt: refused by the box: \"No\\x1b[2J way\\nout\"\n"),
        std::string::npos)
        << put.err;
    EXPECT_NE(put.err.find("\nNo\\x1b[2J way\\nout\n"), std::string::npos) << put.err;
    EXPECT_FALSE(HoldsRawControls(put.err)) << put.err;

    const ProgramResult get = Cli(To(sim->Port(), {"get", "settings.txt"}));
    EXPECT_EQ(get.status, 1);
    EXPECT_NE(get.err.find("velqo-cli: settings.txt: refused by the box: \"Busy\\x07\"\n"),
              std::string::npos)
        << get.err;
    EXPECT_FALSE(HoldsRawControls(get.err)) << get.err;
}

// A message that quotes input quotes a line's worth of it and says how much
// it left out.
TEST_F(CliHostileInput, MessagesQuoteAtMostALineOfTheirInput) {
    StartBox();
    // Within the longest command line Windows takes (32767 characters).
    const std::string huge(20000, 'x');
    const struct {
        std::vector<std::string> args;
        std::string said;
    } rows[] = {
        {{"--" + huge, "list"}, "velqo-cli: unknown option '--xxxx"},
        {{"--port", huge, "list"}, "velqo-cli: --port needs a number from 1 to 65535, not 'xxxx"},
        {{huge}, "velqo-cli: unknown command 'xxxx"},
        {To(sim->Port(), {"get", huge}), "velqo-cli: xxxx"},
        {To(sim->Port(), {"get", "\x1b]0;owned\x07"}),
         "velqo-cli: \\x1b]0;owned\\x07: not on the box's file list\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.said);
        const ProgramResult r = Cli(row.args);
        EXPECT_NE(r.status, 0);
        const size_t at = r.err.find(row.said);
        ASSERT_NE(at, std::string::npos) << r.err.substr(0, 400);
        const std::string line = r.err.substr(at, r.err.find('\n', at) - at);
        EXPECT_LT(line.size(), 300u);
        if (line.find("xxxx") != std::string::npos) {
            EXPECT_NE(line.find("... [198"), std::string::npos) << line;
            EXPECT_NE(line.find(" more bytes]"), std::string::npos) << line;
        }
        EXPECT_FALSE(HoldsRawControls(r.err));
    }
}

// A settings file that is no settings file is a usage error naming it when
// something is to be taken from it, and is not even read when nothing is;
// it never holds the client.
TEST_F(CliHostileInput, ASettingsFileThatIsNoFileIsAUsageErrorAndNeverWaitedFor) {
    StartBox();
    const std::string port = std::to_string(sim->Port());
    const std::string path = "pc/config/config.ini";
    struct Case {
        const char* what;
        std::function<bool()> make;  // false: cannot be made here
        bool allOptions;             // --host, --port and --password given
        int status;
        const char* said;
    };
    const Case cases[] = {
        {"a folder", [&] { return fs::create_directory(path); }, false, 2,
         "velqo-cli: pc/config/config.ini cannot be used as a settings file: a folder\n"},
        {"a folder, all options", [&] { return fs::create_directory(path); }, true, 0, ""},
#ifndef _WIN32
        {"a FIFO", [&] { return mkfifo(path.c_str(), 0644) == 0; }, false, 2,
         "velqo-cli: pc/config/config.ini cannot be used as a settings file: a FIFO or device"},
        {"a FIFO, all options", [&] { return mkfifo(path.c_str(), 0644) == 0; }, true, 0, ""},
        {"a device",
         [&] {
             return mknod(path.c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0 ||
                    symlink("/dev/zero", path.c_str()) == 0;
         },
         false, 2, "config.ini cannot be used as a settings file: a FIFO or device"},
        {"not readable",
         [&] {
             WriteFile(path, "BOXIP=127.0.0.1\n");
             return chmod(path.c_str(), 0) == 0 && geteuid() != 0;  // root reads it anyway
         },
         false, 2, "config.ini cannot be used as a settings file: not readable"},
#endif
        {"larger than a settings file",
         [&] {
             WriteFile(path, "BOXIP=127.0.0.1\nPORT=" + port + "\n" + std::string(70000, '#'));
             return true;
         },
         false, 2, "config.ini cannot be used as a settings file: larger than 65536 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("pc/config");
        fs::create_directories("pc/config");
        if (!c.make()) {
            continue;
        }
        std::vector<std::string> args = {"-C", "pc", "--port", port, "list"};
        if (c.allOptions) {
            args.insert(args.begin(), {"--host", "127.0.0.1", "--password", "7351"});
        }
        const int connections = sim->Stats().connectionsAccepted;
        const ProgramResult r = Cli(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        if (c.status == 2) {
            EXPECT_EQ(sim->Stats().connectionsAccepted, connections);
        } else {
            EXPECT_EQ(r.out, "G\tsettings.txt\t1\n");
        }
    }
}

#ifdef _WIN32
// A box file named like a program or a library would be run or loaded from
// the folder it lands in: get and backup refuse it, never asking for it.
TEST_F(CliHostileInput, OnWindowsAFileWindowsWouldRunOrLoadIsNeverWritten) {
    ScriptedBox box;
    box.LoginAndList("G", {"git.exe", "iphlpapi.dll"}, 2)
        .NextConnection()
        .LoginAndList("G", {"git.exe", "iphlpapi.dll"}, 2)
        .Start();
    const ProgramResult get = Cli(To(box.Port(), {"get", "git.exe", "iphlpapi.dll"}));
    const ProgramResult backup = Cli(To(box.Port(), {"backup", "--into", "store"}));
    const std::vector<ScriptedBox::Bytes> received = box.Finish();
    const struct {
        const ProgramResult& run;
        std::string said;  // after the name
    } runs[] = {{get, ": "}, {backup, ": not saved: "}};
    for (const auto& r : runs) {
        EXPECT_EQ(r.run.status, 1) << r.run.err;
        for (const char* name : {"git.exe", "iphlpapi.dll"}) {
            EXPECT_NE(r.run.err.find("velqo-cli: " + std::string(name) + r.said +
                                     "a name Windows would run or load"),
                      std::string::npos)
                << r.run.err;
        }
    }
    for (const ScriptedBox::Bytes& bytes : received) {  // never asked for
        const std::string sent(bytes.begin(), bytes.end());
        EXPECT_EQ(sent.find("git.exe"), std::string::npos);
        EXPECT_EQ(sent.find("iphlpapi"), std::string::npos);
    }
    for (const auto& entry : fs::recursive_directory_iterator(rig.Path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name != "git.exe" && name != "iphlpapi.dll") << entry.path();
    }
}
#endif
