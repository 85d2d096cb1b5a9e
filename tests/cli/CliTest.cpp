#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "box/BoxDefaults.h"
#include "boxsim/BoxSimulator.h"
#include "catalog/Manifest.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

const char* kLoginLines =
    "\nPC > Now connecting to BOX ....wait 20 seconds \n"
    "PC > REMOTE KEY IS DISABLE, until Logout !\n"
    "PC > Login OK. :) \n";

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        WriteFile("box/manifest.txt",
                  "# group name type\n"
                  "Config settings.txt 1\n"
                  "Firmware image.bin 2\n"
                  "Config \"two words.txt\" 1\n"
                  "Logs other.log 3\n");
        WriteFile("box/settings.txt", "a=1\r\nb=2\r\n");
        WriteFile("box/image.bin", std::string(5000, '\x7f'));
        WriteFile("box/two words.txt", "spaced");
        WriteFile("box/other.log", "");
    }

    void StartBox(BoxSimOptions options = {}) {
        options.recordReceived = true;
        sim = &rig.StartBox(options);
    }

    ProgramResult Cli(std::vector<std::string> args, bool withDefaults = true) {
        if (withDefaults) {
            args = BoxRig::PointedAt(*sim, args);
        }
        ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), args);
        r.out = Lf(r.out);
        r.err = Lf(r.err);
        return r;
    }

    BoxRig rig;
    BoxSimulator* sim = nullptr;  // not owned: the rig's
};

}  // namespace

TEST_F(CliTest, HelpAndUsageErrors) {
    const ProgramResult help = Cli({"--help"}, false);
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"--host", "--port", "--password", "-C", "list", "get", "put",
                             "config/config.ini", "Exit status"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"fetch"},
        {"--bogus", "list"},
        {"--port", "70000", "list"},
        {"--port", "12ab", "list"},
        {"--password", "12345", "list"},
        {"--host"},
        {"get"},
        {"list", "extra"},
    };
    for (const auto& args : bad) {
        const ProgramResult r = Cli(args, false);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("velqo-cli: "), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(CliTest, ListPrintsTheCatalogueInOrder) {
    StartBox();
    const ProgramResult r = Cli({"list"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Config\tsettings.txt\t1\n"
              "Config\ttwo words.txt\t1\n"
              "Firmware\timage.bin\t2\n"
              "Logs\tother.log\t3\n");
    EXPECT_EQ(r.err, kLoginLines);
    // Login, list and logout reached the box, in that order (the box may still
    // be reading the logout when the program has ended).
    sim->WaitForReceived(12u + 4u + 4u, 5000);
    const std::vector<uint8_t> received = sim->Received();
    ASSERT_EQ(received.size(), 12u + 4u + 4u);
    EXPECT_EQ(received[12], 2);
    EXPECT_EQ(received[16], 5);
}

TEST_F(CliTest, GetDownloadsEachNameAndGoesOnAfterAFailure) {
    StartBox();
    const ProgramResult r = Cli({"get", "image.bin", "missing.txt", "settings.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile("pc/image.bin"), std::string(5000, '\x7f'));
    EXPECT_EQ(ReadFile("pc/settings.txt"), "a=1\r\nb=2\r\n");
    EXPECT_NE(r.err.find("velqo-cli: missing.txt: not on the box's file list"), std::string::npos);
    EXPECT_NE(r.err.find("PC > Start to dump file:image.bin... \n"), std::string::npos);
    EXPECT_NE(r.err.find("\nPC > Dump finished !\n"), std::string::npos);
    EXPECT_FALSE(Exists("pc/missing.txt"));
}

TEST_F(CliTest, GetKeepsAReplacedLocalEditAsNameTildeUnlessTold) {
    StartBox();
    WriteFile("pc/settings.txt", "a=1\r\nb=2\r\nmine=3\r\n");
    ProgramResult r = Cli({"get", "settings.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile("pc/settings.txt~"), "a=1\r\nb=2\r\nmine=3\r\n");
    EXPECT_NE(r.err.find("PC > The local file it replaced held other bytes: kept as "
                         "settings.txt~\n"),
              std::string::npos)
        << r.err;

    WriteFile("pc/settings.txt", "edited again\n");
    r = Cli({"get", "--no-backup", "settings.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile("pc/settings.txt"), "a=1\r\nb=2\r\n");
    EXPECT_EQ(ReadFile("pc/settings.txt~"), "a=1\r\nb=2\r\nmine=3\r\n");  // the older copy
    EXPECT_EQ(r.err.find("kept as"), std::string::npos) << r.err;
}

TEST_F(CliTest, GetRefusedByTheBoxFailsButTheOthersRun) {
    fs::remove("box/settings.txt");  // listed but gone: the box refuses it
    StartBox();
    const ProgramResult r = Cli({"get", "settings.txt", "two words.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\nPC > read file fail!\n"), std::string::npos);
    EXPECT_EQ(ReadFile("pc/two words.txt"), "spaced");
    EXPECT_FALSE(Exists("pc/settings.txt"));
}

TEST_F(CliTest, PutUploadsFromTheWorkingDirectory) {
    StartBox();
    WriteFile("pc/settings.txt", std::string(3000, 's'));
    const ProgramResult r = Cli({"put", "settings.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    // The box stores the file after its last reply: wait for it.
    sim->WaitFor([](const BoxSimStats& s) { return s.uploadsStored == 1; }, 5000);
    EXPECT_EQ(ReadFile("box/settings.txt"), std::string(3000, 's'));
    EXPECT_NE(r.err.find("PC > Start to upload file to BOX:settings.txt...\n"
                         "PC > Wait BOX to process data...\n"),
              std::string::npos);
}

TEST_F(CliTest, PutFailuresAreReportedPerName) {
    BoxSimOptions options;
    options.refuseUpload = "Read only";
    StartBox(options);
    WriteFile("pc/image.bin", "new");
    const ProgramResult r = Cli({"put", "image.bin", "settings.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Read only\n"), std::string::npos);
    // The missing file is found before the box is asked.
    EXPECT_NE(r.err.find("velqo-cli: settings.txt: failed: cannot read pc"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile("box/image.bin"), std::string(5000, '\x7f'));
}

TEST_F(CliTest, WaitPhaseFailureEndsTheRun) {
    BoxSimOptions options;
    options.waitPhase = true;
    options.waitMessages = {"Checking", "Bad image"};
    options.waitFinalStatus = 4;
    StartBox(options);
    WriteFile("pc/image.bin", "x");
    WriteFile("pc/settings.txt", "y");
    const ProgramResult r = Cli({"put", "image.bin", "settings.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Checking\nBad image\n"), std::string::npos);
    // Said as the box's failure, not as a lost link.
    EXPECT_NE(r.err.find("the box reported a failure after an upload and the session ended; "
                         "stopping"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("link to the box"), std::string::npos);
    EXPECT_EQ(r.err.find("upload file to BOX:settings.txt"), std::string::npos);
}

TEST_F(CliTest, LoginFailuresExitWithThree) {
    StartBox();
    ProgramResult r = Cli({"--password", "1111", "list"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("PC > Login FAIL:"), std::string::npos);
    EXPECT_TRUE(r.out.empty());

    const uint16_t port = sim->Port();
    sim->Stop();
    r = Cli({"--host", "127.0.0.1", "--port", std::to_string(port), "list"}, false);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("PC > Can not connect ! \n"), std::string::npos);

    // A port that takes the connection and never answers: the log does not say otherwise.
    ScriptedBox silent;
    silent.Read(12).Close().NextConnection().Read(12).Close().NextConnection();
    silent.Start();
    r = Cli({"--host", "127.0.0.1", "--port", std::to_string(silent.Port()), "list"}, false);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.find("Can not connect"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(":" + std::to_string(silent.Port()) + " took the connection"),
              std::string::npos)
        << r.err;
    silent.Finish();
}

TEST_F(CliTest, SettingsFileSuppliesDefaultsAndOptionsOverrideThem) {
    BoxSimOptions options;
    options.password = "2468";
    StartBox(options);
    fs::create_directories("pc/config");
    const std::string ini =
        "BOXIP=127.0.0.1\nPORT=" + std::to_string(sim->Port()) + "\nPASSWORD=2468\n";
    WriteFile("pc/config/config.ini", ini);
    ProgramResult r = Cli({"-C", "pc", "list"}, false);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 7), "Config\t");
    EXPECT_EQ(ReadFile("pc/config/config.ini"), ini);  // never written

    r = Cli({"-C", "pc", "--password", "1357", "list"}, false);
    EXPECT_EQ(r.status, 3);
}

TEST_F(CliTest, PutSkipsWhatIsNotARegularFileAndGoesOn) {
    StartBox();
    fs::create_directories("pc/image.bin");
    WriteFile("pc/settings.txt", "new settings");
    const ProgramResult r = Cli({"put", "image.bin", "settings.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("velqo-cli: image.bin: failed: a directory, not a regular file\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("upload file to BOX:image.bin"), std::string::npos);
    // The box stores an upload after its last reply: wait for it.
    sim->WaitFor([](const BoxSimStats& s) { return s.uploadsStored == 1; }, 5000);
    EXPECT_EQ(ReadFile("box/settings.txt"), "new settings");
    EXPECT_EQ(ReadFile("box/image.bin"), std::string(5000, '\x7f'));
    EXPECT_EQ(sim->Stats().uploadsStored, 1);
    EXPECT_EQ(sim->Stats().uploadsRefused + sim->Stats().uploadsBrokenOff, 0);
}

// Every row gives the address itself (BOXIP=127.0.0.1 or --host), or must be
// refused before any connection.
TEST_F(CliTest, SettingsFileValuesThatCannotBeUsedAreUsageErrors) {
    StartBox();
    const std::string port = std::to_string(sim->Port());
    struct Case {
        std::string ini;  // empty: no settings file
        std::vector<std::string> args;
        int status;
        std::vector<std::string> said;
    };
    const std::string noAddress =
        "velqo-cli: no box address: give --host ADDR or a line BOXIP=ADDR";
    const Case cases[] = {
        {"BOXIP=127.0.0.1\nPORT=4294987597\n",
         {},
         2,
         {"pc/config/config.ini line 2: PORT needs a number from 1 to 65535\n"}},
        {"BOXIP=127.0.0.1\nPORT=0\n", {}, 2, {"config.ini line 2: PORT"}},
        {"BOXIP=127.0.0.1\nPORT=" + port + "\nPASSWORD=12345\n",
         {},
         2,
         {"config.ini line 3: PASSWORD has more than the 4 digits"}},
        {"BOXIP=127.0.0.1\nPORT=" + port + "\nPASSWORD=73x1\n",
         {},
         2,
         {"config.ini line 3: PASSWORD needs 1 to 4 digits"}},
        {"# box\nBOXIP=box.local\n", {}, 2, {"config.ini line 2: BOXIP needs a dotted IPv4"}},
        {"PORT=" + port + "\n", {}, 2, {noAddress, box_defaults::kAddress, "pc/config/config.ini"}},
        {"", {}, 2, {noAddress, box_defaults::kAddress}},
        // What the options replace is not looked at.
        {"BOXIP=127.0.0.1\nPORT=70000\nPASSWORD=123456\n",
         {"--port", port, "--password", "7351"},
         0,
         {}},
        {"BOXIP=box.local\n", {"--host", "127.0.0.1", "--port", port}, 0, {}},
        // Some editors start the file with a byte order mark.
        {"\xEF\xBB\xBF"
         "BOXIP= 127.0.0.1 \r\nPORT=" +
             port + "\r\n",
         {},
         0,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        fs::remove_all("pc/config");
        if (!c.ini.empty()) {
            fs::create_directories("pc/config");
            WriteFile("pc/config/config.ini", c.ini);
        }
        const int loginsBefore = sim->Stats().connectionsAccepted;
        std::vector<std::string> args = {"-C", "pc"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back("list");
        const ProgramResult r = Cli(args, false);
        EXPECT_EQ(r.status, c.status) << r.err;
        for (const std::string& text : c.said) {
            EXPECT_NE(r.err.find(text), std::string::npos) << text << "\n" << r.err;
        }
        if (c.status == 2) {
            EXPECT_TRUE(r.out.empty());
            EXPECT_EQ(sim->Stats().connectionsAccepted, loginsBefore);
        } else {
            EXPECT_EQ(r.out.substr(0, 7), "Config\t");
        }
    }
}
