// velqo-boxsim's command line, its demo content and the program itself.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/BoxSimCommandLine.h"
#include "boxsim/BoxSimulator.h"
#include "boxsim/DemoContent.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace {

bool Parse(std::vector<const char*> args, BoxSimCommandLine* out, std::string* error) {
    args.insert(args.begin(), "velqo-boxsim");
    return ParseBoxSimCommandLine(static_cast<int>(args.size()), args.data(), out, error);
}

TEST(BoxSimCommandLine, TakesEveryOption) {
    BoxSimCommandLine c;
    std::string error;
    ASSERT_TRUE(Parse({"--folder",
                       "d",
                       "--manifest",
                       "m.txt",
                       "--listen",
                       "127.0.0.2",
                       "--port",
                       "0",
                       "--password",
                       "12",
                       "--require-version",
                       "0x1002",
                       "--wait-message",
                       "one",
                       "--wait-message",
                       "two",
                       "--wait-status",
                       "4",
                       "--io-timeout",
                       "700",
                       "--idle-timeout",
                       "7",
                       "--refuse-login",
                       "L",
                       "--refuse-dump",
                       "D",
                       "--refuse-upload",
                       "U",
                       "--no-login-reply",
                       "--corrupt-uploads",
                       "--close-after-records",
                       "3",
                       "--pieces",
                       "16",
                       "--piece-delay",
                       "5",
                       "--pace-ms",
                       "4",
                       "--update-file",
                       "fw.pkg",
                       "--update-restart",
                       "2",
                       "--update-resets",
                       "Settings",
                       "--update-resets=Channels",
                       "--update-fails",
                       "Bad image",
                       "--once",
                       "--verbose"},
                      &c, &error))
        << error;
    const BoxSimOptions& o = c.options;
    EXPECT_EQ(o.folder, "d");
    EXPECT_EQ(o.manifestName, "m.txt");
    EXPECT_EQ(o.listenAddress, "127.0.0.2");
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.password, "12");
    EXPECT_EQ(o.requiredVersion, 0x1002);
    EXPECT_TRUE(o.waitPhase);
    EXPECT_EQ(o.waitMessages, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(o.waitFinalStatus, 4);
    EXPECT_EQ(o.ioTimeoutMs, 700);
    EXPECT_EQ(o.idleTimeoutMs, 7000);
    EXPECT_EQ(o.refuseLogin, "L");
    EXPECT_EQ(o.refuseDump, "D");
    EXPECT_EQ(o.refuseUpload, "U");
    EXPECT_TRUE(o.noLoginReply);
    EXPECT_TRUE(o.corruptUploads);
    EXPECT_EQ(o.closeAfterRecords, 3);
    EXPECT_EQ(o.pieceSize, 16u);
    EXPECT_EQ(o.pieceDelayMs, 5);
    EXPECT_EQ(o.paceMs, 4);
    EXPECT_EQ(o.updateFile, "fw.pkg");
    EXPECT_EQ(o.updateRestartMs, 2000);
    EXPECT_EQ(o.updateResets, (std::vector<std::string>{"Settings", "Channels"}));
    EXPECT_EQ(o.updateFails, "Bad image");
    EXPECT_TRUE(c.once);
    EXPECT_TRUE(c.verbose);
    EXPECT_FALSE(c.help);

    ASSERT_TRUE(Parse({}, &c, &error));
    EXPECT_EQ(c.options.port, 1000);
    EXPECT_EQ(c.options.listenAddress, "127.0.0.1");
    EXPECT_FALSE(c.options.waitPhase);
    EXPECT_FALSE(c.options.corruptUploads);
    EXPECT_EQ(c.options.idleTimeoutMs, 60000);
    EXPECT_EQ(c.options.updateRestartMs, 3000);
    ASSERT_TRUE(Parse({"--idle-timeout", "0"}, &c, &error));
    EXPECT_EQ(c.options.idleTimeoutMs, 0);
    ASSERT_TRUE(Parse({"--wait-status", "-1"}, &c, &error));
    EXPECT_TRUE(c.options.waitPhase);
    EXPECT_EQ(c.options.waitFinalStatus, -1);
    ASSERT_TRUE(Parse({"--require-version", "4097"}, &c, &error));
    EXPECT_EQ(c.options.requiredVersion, box_defaults::kRequiredToolVersion);
}

TEST(BoxSimCommandLine, RejectsBadUsage) {
    BoxSimCommandLine c;
    c.options.port = 4321;
    std::string error;
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"--prot", "4000"}, "unknown option \"--prot\"; did you mean \"--port\"?"},
        {{"--port", "0x10"}, "--port: \"0x10\" is not a decimal number from 0 to 65535"},
        {{"--io-timeout", "1e3"}, "--io-timeout: \"1e3\" is not a decimal number"},
        {{"--require-version", "0x1g"}, "--require-version: \"0x1g\" is not a number"},
        {{"--port"}, "--port needs a value"},
        {{"--port", "65536"}, "--port: \"65536\" is not a decimal number from 0 to 65535"},
        {{"--port", "12x"}, "--port: \"12x\" is not a decimal number"},
        {{"--port", ""}, "--port: \"\" is not a decimal number"},
        {{"--require-version", "0x10000"}, "--require-version: \"0x10000\""},
        {{"--pieces", "0"}, "--pieces: \"0\" is not a decimal number from 1"},
        {{"--close-after-records", "-1"}, "--close-after-records: \"-1\""},
        {{"--io-timeout", "0"}, "--io-timeout: \"0\""},
        {{"--pace-ms", "-1"}, "--pace-ms: \"-1\" is not a decimal number from 0 to 60000"},
        {{"--idle-timeout", "-1"}, "--idle-timeout: \"-1\" is not a decimal number from 0"},
        {{"--password", "12345"}, "--password: at most 4 characters"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_FALSE(Parse(args, &c, &error)) << args[0];
        EXPECT_EQ(error.rfind(message, 0), 0u) << error;
    }
    EXPECT_EQ(c.options.port, 4321);  // untouched on failure
}

TEST(BoxSimCommandLine, HelpDocumentsEveryOption) {
    const std::string help = BoxSimHelpText();
    for (const char* option : {"--folder",
                               "--manifest",
                               "--make-demo",
                               "--listen",
                               "--port",
                               "--once",
                               "--password",
                               "--require-version",
                               "--wait-phase",
                               "--wait-message",
                               "--wait-status",
                               "--io-timeout",
                               "--idle-timeout",
                               "--refuse-login",
                               "--refuse-dump",
                               "--refuse-upload",
                               "--no-login-reply",
                               "--corrupt-uploads",
                               "--close-after-records",
                               "--pieces",
                               "--piece-delay",
                               "--pace-ms",
                               "--update-file",
                               "--update-restart",
                               "--update-resets",
                               "--update-fails",
                               "--verbose",
                               "--help",
                               "--version",
                               "--force",
                               "CAP_NET_BIND_SERVICE",
                               "Exit status"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(BoxSimDemo, HasTheAdvertisedKindsOfFiles) {
    const TempDir temp;
    const std::string dir = "demo_kinds";
    std::string error;
    ASSERT_TRUE(MakeDemoFolder(dir, "manifest.txt", &error)) << error;
    Manifest m;
    ASSERT_TRUE(Manifest::Load(dir + "/manifest.txt", &m, &error)) << error;
    ASSERT_EQ(m.Entries().size(), DemoEntries().size());
    std::set<std::string> groups;
    bool crlfText = false, lfText = false, big = false, wholeKb = false, otherType = false;
    for (const ManifestEntry& e : m.Entries()) {
        groups.insert(e.group);
        ASSERT_TRUE(Exists(dir + "/" + e.name)) << e.name;
        const std::string data = ReadFile(dir + "/" + e.name);
        if (e.type == 1 && data.find("\r\n") != std::string::npos) {
            crlfText = true;
        }
        if (e.type == 1 && data.size() > 1000 && data.find('\r') == std::string::npos) {
            lfText = true;
        }
        big |= (e.type == 0 || e.type == 2) && data.size() > 16384;
        wholeKb |= (e.type == 0 || e.type == 2) && !data.empty() && data.size() % 1024 == 0;
        otherType |= e.type > 2;
    }
    EXPECT_GE(groups.size(), 3u);
    EXPECT_TRUE(crlfText);
    EXPECT_TRUE(lfText);
    EXPECT_TRUE(big);
    EXPECT_TRUE(wholeKb);
    EXPECT_TRUE(otherType);
}

// What the program printed on either stream, with its exit status.
std::pair<int, std::string> RunBoxSim(const std::vector<std::string>& args) {
    const ProgramResult r = RunProgram(SiblingProgram("velqo-boxsim"), args);
    return {r.status, r.out + r.err};
}

TEST(BoxSimProgram, HelpUsageErrorsDemoAndBusyPort) {
    const TempDir dir;
    auto [status, out] = RunBoxSim({"--help"});
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Usage: velqo-boxsim"), std::string::npos) << out;
    EXPECT_NE(out.find("--close-after-records"), std::string::npos);

    std::tie(status, out) = RunBoxSim({"--port", "nine"});
    EXPECT_EQ(status, 2);
    EXPECT_NE(out.find("--port: \"nine\" is not a decimal number"), std::string::npos) << out;
    EXPECT_NE(out.find("--help"), std::string::npos) << out;
    EXPECT_EQ(RunBoxSim({"--frobnicate"}).first, 2);

    std::tie(status, out) = RunBoxSim({"--make-demo", "demo_program"});
    EXPECT_EQ(status, 0) << out;
    Manifest m;
    std::string error;
    EXPECT_TRUE(Manifest::Load("demo_program/manifest.txt", &m, &error)) << error;
    EXPECT_EQ(m.Entries().size(), DemoEntries().size());

    std::tie(status, out) = RunBoxSim({"--folder", "no_such_folder", "--port", "0"});
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("does not exist"), std::string::npos) << out;

    // A port that is taken: a clear message and exit 1.
    BoxSimOptions o;
    o.folder = "demo_program";
    o.port = 0;
    BoxSimulator holder(o);
    ASSERT_TRUE(holder.Start(&error)) << error;
    const std::string port = std::to_string(holder.Port());
    std::tie(status, out) = RunBoxSim({"--folder", "demo_program", "--port", port});
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("cannot listen on 127.0.0.1:" + port), std::string::npos) << out;
}

TEST(BoxSimProgram, OneBoxOnSeveralAddresses) {
    const TempDir dir;
    BoxSimCommandLine c;
    std::string error;
    EXPECT_FALSE(Parse({"--listen", "127.0.0.2", "--listen", "127.0.0.010"}, &c, &error));
    EXPECT_EQ(error.rfind("--listen '127.0.0.010'", 0), 0u) << error;
    ASSERT_EQ(RunBoxSim({"--make-demo", "demo"}).first, 0);
    BackgroundProgram box(SiblingProgram("velqo-boxsim"),
                          {"--folder", "demo", "--listen", "127.0.0.2", "--listen", "127.0.0.3",
                           "--port", "0", "--once"});
    const std::string second = "listening on 127.0.0.3:";
    ASSERT_TRUE(WaitUntil([&] { return box.Out().find(second) != std::string::npos; }, 10000))
        << box.Out() << box.Err();
    const std::string out = box.Out();
    const int port = std::stoi(out.substr(out.find(second) + second.size()));
    EXPECT_NE(out.find("listening on 127.0.0.2:" + std::to_string(port) + ","), std::string::npos)
        << out;
    for (const char* address : {"127.0.0.2", "127.0.0.3"}) {
        BoxSocket socket;
        BoxSession session(&socket);
        ASSERT_TRUE(socket.Connect(address, port, 5000)) << address;
        EXPECT_EQ(session.Login(box_defaults::kPassword), BoxSession::kLoginOk) << address;
        session.Logout();
    }
    // Each served its one connection: the program ends.
    EXPECT_TRUE(box.Wait(10000));
    EXPECT_EQ(box.ExitStatus(), 0);
}

}  // namespace
