// Every message of velqo-cli that quotes a text from the box or from a file,
// run over the table of hostile texts: each shows the text only escaped and
// bounded, on stdout and stderr alike. velqo-cli runs in this process, its
// streams in files, against substitute and scripted boxes over loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/StdioFile.h"
#include "boxsim/BoxSimulator.h"
#include "cli/CliClient.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"
#include "tests/support/BoxRig.h"
#include "tests/support/HostileText.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Printed {
    int status = -1;
    std::string out;
    std::string err;
};

// velqo-cli with these arguments, as main runs it, without a progress line.
Printed RunCli(const std::vector<std::string>& args) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, &options, &error)) {
        ADD_FAILURE() << error;
        return {};
    }
    Printed printed;
    {
        const StdioFile out("cli-out.txt", "wb");
        const StdioFile err("cli-err.txt", "wb");
        CliOutput output(out.Get(), err.Get(), options.command, options.json, options.verbosity);
        TerminalLog log(err.Get(), false);
        printed.status = output.Finish(CliClient(options, output).Run());
    }
    printed.out = ReadFile("cli-out.txt");
    printed.err = ReadFile("cli-err.txt");
    return printed;
}

class CliHostileMessage : public ::testing::Test {
protected:
    CliHostileMessage() {
        WriteFile("box/manifest.txt", "G settings.txt 1\n");
        WriteFile("box/settings.txt", "a=1\n");
        WriteFile("pc/settings.txt", "a=2\n");
    }

    // A substitute box that says `text` where the options put it.
    Printed AgainstSim(const std::function<void(BoxSimOptions&)>& say,
                       const std::vector<std::string>& args) {
        BoxSimOptions options;
        say(options);
        BoxSimulator& box = rig.StartBox(options);
        Printed printed = RunCli(BoxRig::PointedAt(box, args));
        box.Stop();
        return printed;
    }

    // A box that lists `name` alone.
    static Printed AgainstList(const std::string& name, const std::vector<std::string>& args) {
        ScriptedBox box;
        box.LoginAndList("G", {name.c_str()}, 1);
        box.Start();
        Printed printed = RunCli(BoxRig::PointedAt(box.Port(), args));
        box.Finish();
        return printed;
    }

    BoxRig rig;
};

}  // namespace

TEST_F(CliHostileMessage, EveryMessageShowsBoxAndFileTextsEscapedAndBounded) {
    // A backup of the clean box, for compare.
    {
        const Printed made = AgainstSim([](BoxSimOptions&) {}, {"backup", "--into", "saved"});
        ASSERT_EQ(made.status, CliClient::kExitOk) << made.err;
    }
    // The store's one folder; its lock file is beside it.
    fs::path backup;
    for (const fs::directory_entry& entry : fs::directory_iterator("pc/saved")) {
        backup = entry.is_directory() ? entry.path().filename() : backup;
    }
    const std::string backupFolder = "saved/" + backup.string();

    int backups = 0;  // each backup into a folder of its own
    using Run = std::function<Printed(const std::string&)>;
    const struct {
        const char* message;
        int status;
        Run run;
    } messages[] = {
        {"login refused", CliClient::kExitNoLogin,
         [&](const std::string& t) {
             return AgainstSim([&](BoxSimOptions& o) { o.refuseLogin = t; }, {"list"});
         }},
        {"get refused", CliClient::kExitFailed,
         [&](const std::string& t) {
             return AgainstSim([&](BoxSimOptions& o) { o.refuseDump = t; },
                               {"get", "settings.txt"});
         }},
        {"put refused", CliClient::kExitFailed,
         [&](const std::string& t) {
             return AgainstSim([&](BoxSimOptions& o) { o.refuseUpload = t; },
                               {"put", "settings.txt"});
         }},
        {"box's message after an upload", CliClient::kExitOk,
         [&](const std::string& t) {
             return AgainstSim(
                 [&](BoxSimOptions& o) {
                     o.waitPhase = true;
                     o.waitMessages = {t};
                 },
                 {"put", "settings.txt"});
         }},
        {"list line", CliClient::kExitOk,
         [&](const std::string& t) { return AgainstList(t, {"list"}); }},
        {"backup's file not saved, per file with -v", CliClient::kExitFailed,
         [&](const std::string& t) {
             return AgainstList(t, {"-v", "backup", "--into", "new" + std::to_string(++backups)});
         }},
        {"compare line, only on the box", CliClient::kExitFailed,
         [&](const std::string& t) {
             return AgainstList(t, {"-v", "compare", backupFolder});
         }},
    };
    for (const HostileText& hostile : HostileTexts()) {
        for (const auto& message : messages) {
            SCOPED_TRACE(std::string(message.message) + ": " + hostile.label);
            const Printed printed = message.run(hostile.text);
            EXPECT_EQ(printed.status, message.status) << printed.err;
            EXPECT_EQ(UnsafeShowing(printed.out + printed.err, hostile), "")
                << printed.out << printed.err;
        }
    }
}
