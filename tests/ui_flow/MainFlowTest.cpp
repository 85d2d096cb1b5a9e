// The main window's decisions against the substitute box over loopback, in a
// fresh working directory, and against a scripted box for what a real box
// should never send.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/WireFormat.h"
#include "boxsim/BoxSimulator.h"
#include "boxsim/DemoContent.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/SinkRecorder.h"
#include "ui/flow/LinkState.h"
#include "ui/flow/MainFlow.h"

namespace fs = std::filesystem;

namespace {

class MainFlowTest : public ::testing::Test {
protected:
    MainFlowTest() : session(&socket), sinks(session) {
        flow.AttachSession(&session);
        fs::create_directory("config");
    }
    ~MainFlowTest() override {
        if (box) {
            box->Stop();
        }
    }

    // The demo box, served from "box/" beside the working files.
    void StartDemoBox(const char* password = "7351") {
        std::string error;
        ASSERT_TRUE(MakeDemoFolder("box", "manifest.txt", &error)) << error;
        BoxSimOptions options;
        options.password = password;
        // The box stores an upload before its processing messages, which the
        // PC waits for: the stored file is there when Upload returns.
        options.waitPhase = true;
        box = &rig.StartBox(options);
    }

    BoxRig rig;
    BoxSocket socket;
    BoxSession session;
    SinkRecorder sinks;
    MainFlow flow;
    BoxSimulator* box = nullptr;  // not owned: the rig's
};

}  // namespace

TEST_F(MainFlowTest, LoginTransfersSaveAndLogout) {
    StartDemoBox();
    flow.SaveSettings("127.0.0.1", box->Port(), "7351");
    char port[8];
    std::snprintf(port, sizeof port, "%05u", box->Port());
    std::string written = ReadFile("config/config.ini");
    std::erase(written, '\r');  // text mode writes CR LF on Windows
    EXPECT_EQ(written, std::string("BOXIP=127.0.0.1\nPORT=") + port + "\nPASSWORD=7351\n");

    ASSERT_EQ(flow.Login("127.0.0.1", box->Port(), "7351"), LoginOutcome::kLoggedIn);
    EXPECT_TRUE(flow.IsLoggedIn());
    EXPECT_EQ(flow.LinkState(), link_state::kLoggedIn);
    flow.FetchCatalog();
    EXPECT_EQ(flow.Catalog().GroupCount(), 4);
    EXPECT_EQ(flow.Catalog().FindFileType("channels.db"), 2);

    // A text file becomes the selected file; another type leaves it be.
    EXPECT_TRUE(flow.Download("config.txt"));
    EXPECT_STREQ(flow.SelectedFile(), "config.txt");
    EXPECT_EQ(ReadFile("config.txt"), ReadFile("box/config.txt"));
    EXPECT_FALSE(flow.Download("channels.db"));
    EXPECT_EQ(ReadFile("channels.db"), ReadFile("box/channels.db"));
    EXPECT_STREQ(flow.SelectedFile(), "config.txt");
    ASSERT_NE(flow.SaveTarget(), nullptr);
    EXPECT_STREQ(flow.SaveTarget(), "config.txt");

    WriteFile("config.txt", "[general]\r\nlanguage=de\r\n");
    EXPECT_EQ(flow.Upload("config.txt"), 1);
    EXPECT_EQ(ReadFile("box/config.txt"), "[general]\r\nlanguage=de\r\n");

    sinks.lines.clear();
    flow.Logout();
    EXPECT_EQ(sinks.All(), "\nPC > Logout , disconnect !\n");
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);

    EXPECT_TRUE(flow.ResetToLoggedOut());
    EXPECT_NE(flow.LinkState(), link_state::kLoggedIn);
    EXPECT_EQ(flow.Catalog().GroupCount(), 0);
    EXPECT_STREQ(flow.SelectedFile(), "");
    EXPECT_EQ(flow.SaveTarget(), nullptr);  // nothing to save over after a logout
}

TEST_F(MainFlowTest, RefusedLoginChangesNothingButLetsGoOfTheBox) {
    StartDemoBox("1111");
    const int before = flow.LinkState();
    EXPECT_EQ(flow.Login("127.0.0.1", box->Port(), "7351"), LoginOutcome::kRefused);
    EXPECT_EQ(flow.LinkState(), before);
    EXPECT_FALSE(flow.IsLoggedIn());
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_NE(sinks.All().find("PC > Login FAIL:"), std::string::npos);
    // The box serves one client at a time: the next one is served at once,
    // well within its one-second waits.
    BoxSocket otherSocket;
    otherSocket.SetIoTimeoutMs(1000);
    BoxSession other(&otherSocket);
    EXPECT_TRUE(otherSocket.Connect("127.0.0.1", box->Port(), 1000));
    EXPECT_EQ(other.Login("1111"), 1);
}

TEST_F(MainFlowTest, ListedNamesThatAreNoPlainFileNamesAreNeverUsedAsPaths) {
    ScriptedBox scripted;
    scripted.LoginAndList("Settings", {"..\\..\\evil.txt", "../evil.txt", "notes.txt"}, 1);
    scripted.Start();
    ASSERT_EQ(flow.Login("127.0.0.1", scripted.Port(), "7351"), LoginOutcome::kLoggedIn);
    flow.FetchCatalog();
    ASSERT_EQ(flow.Catalog().FindFileType("../evil.txt"), 1);

    // The session refuses the dump before sending; nothing becomes selected.
    sinks.lines.clear();
    EXPECT_FALSE(flow.Download("../evil.txt"));
    EXPECT_NE(sinks.All().find("PC > Refused file name"), std::string::npos);
    EXPECT_FALSE(flow.SelectTextFile("..\\..\\evil.txt"));
    EXPECT_STREQ(flow.SelectedFile(), "");
    EXPECT_EQ(flow.SaveTarget(), nullptr);
    EXPECT_EQ(flow.Upload("../evil.txt"), 0);

    EXPECT_TRUE(flow.SelectTextFile("notes.txt"));
    EXPECT_STREQ(flow.SaveTarget(), "notes.txt");
    socket.Close();
    // Login and list only: the unsafe names never went out.
    EXPECT_EQ(scripted.FirstReceived().size(), 12u + 4u);
}
