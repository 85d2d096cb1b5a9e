#include <gtest/gtest.h>

#include "box/BoxLogin.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/HostAddress.h"
#include "box/WireFormat.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/SinkRecorder.h"

namespace {

const ScriptedBox::Bytes kAccepted = B(wire::EncodeReply({wire::kToolVersion, 0, 1}));
const std::string kConnecting = "\nPC > Now connecting to BOX ....wait 20 seconds \n";

class LoginRuleTest : public ::testing::Test {
protected:
    LoginRuleTest() : session(&socket), sinks(session) {}

    LoginOutcome Run() {
        box.Start();
        return ConnectAndLogin(socket, session, "127.0.0.1", box.Port(), "7351");
    }

    ScriptedBox box;
    BoxSocket socket;
    BoxSession session;
    SinkRecorder sinks;
};

}  // namespace

TEST_F(LoginRuleTest, FirstAttemptLogsIn) {
    box.Read(12).Write(kAccepted);
    EXPECT_EQ(Run(), LoginOutcome::kLoggedIn);
    EXPECT_EQ(sinks.All(), kConnecting + "PC > REMOTE KEY IS DISABLE, until Logout !\n" +
                               "PC > Login OK. :) \n");
    socket.Close();
    EXPECT_EQ(box.Finish().size(), 1u);
}

TEST_F(LoginRuleTest, NoReplyTwiceMakesThreeConnectsAndTwoLogins) {
    box.Read(12).Close().NextConnection().Read(12).Close().NextConnection();
    EXPECT_EQ(Run(), LoginOutcome::kPortClosed);
    EXPECT_EQ(sinks.All(), kConnecting);  // the port took the connection: not "Can not connect"
    EXPECT_TRUE(socket.IsConnected());    // the third connection stays open
    socket.Close();
    const auto received = box.Finish();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].size(), 12u);
    EXPECT_EQ(received[1].size(), 12u);
    EXPECT_TRUE(received[2].empty());  // no third login
}

TEST_F(LoginRuleTest, SilentBoxIsRetriedAfterTheTimeOut) {
    socket.SetIoTimeoutMs(1000);
    box.Read(12).NextConnection().Read(12).Write(kAccepted);
    EXPECT_EQ(Run(), LoginOutcome::kLoggedIn);
    socket.Close();
    EXPECT_EQ(box.Finish().size(), 2u);
}

TEST_F(LoginRuleTest, RefusalEndsAtOnceWithTheSocketOpen) {
    box.Read(12)
        .Write(B(wire::EncodeReply({wire::kToolVersion, 0, 0})))
        .Write(B(wire::EncodeRefusalText("Password error")));
    EXPECT_EQ(Run(), LoginOutcome::kRefused);
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_EQ(sinks.lines.back(), "\n");
    socket.Close();
}

TEST_F(LoginRuleTest, ConnectFailureIsReported) {
    int error = 0;
    const net::Handle h = net::Listen("127.0.0.1", 0, 1, &error);
    const uint16_t port = net::LocalPort(h);
    net::CloseHandle(h);
    EXPECT_EQ(ConnectAndLogin(socket, session, "127.0.0.1", port, "7351"),
              LoginOutcome::kCannotConnect);
    EXPECT_EQ(sinks.All(), kConnecting + "PC > Can not connect ! \n");
}

TEST_F(LoginRuleTest, StillLoggedInSessionLogsOutFirst) {
    box.Read(12).Write(kAccepted).NextConnection().Read(12).Write(kAccepted);
    ASSERT_EQ(Run(), LoginOutcome::kLoggedIn);
    EXPECT_EQ(ConnectAndLogin(socket, session, "127.0.0.1", box.Port(), "7351"),
              LoginOutcome::kLoggedIn);
    socket.Close();
    const auto received = box.Finish();
    ASSERT_EQ(received.size(), 2u);
    // The logout head goes out on the old connection before it is replaced.
    EXPECT_EQ(received[0].size(), 16u);
    EXPECT_EQ(received[0][12], 5);
}

TEST_F(LoginRuleTest, AnAddressInAnotherFormIsRefusedBeforeAnyConnection) {
    // Each is 127.0.0.1 to a resolver that reads octal, hex or short forms,
    // where the box waits.
    for (const char* typed : {"127.1", "0x7f.0.0.1", "0177.0.0.1", "127.0.0.01"}) {
        SCOPED_TRACE(typed);
        sinks.lines.clear();
        EXPECT_EQ(ConnectAndLogin(socket, session, typed, box.Port(), "7351"),
                  LoginOutcome::kBadAddress);
        EXPECT_EQ(sinks.All(), "\nPC > BOX IP " + HostAddress(typed).Problem() + " \n");
        EXPECT_FALSE(socket.IsConnected());
        EXPECT_FALSE(box.HasWaitingConnection());
    }
}

TEST(LoginProblemText, SaysWhatHappenedAtTheAddressAndWhatToCheck) {
    const struct {
        LoginOutcome outcome;
        std::string text;
    } cases[] = {
        {LoginOutcome::kCannotConnect,
         "cannot connect to 127.0.0.79:1000: Connection refused; check that the box is on and "
         "that the address and port are its own"},
        {LoginOutcome::kPortClosed,
         "127.0.0.79:1000 took the connection but did not answer the login: the box may be busy "
         "with another client (the window or another velqo-cli logged in to it), as it serves "
         "one at a time; log out there or wait until it ends, then try again. If nothing else "
         "uses it, this may not be a box, or not its port"},
        {LoginOutcome::kRefused, ""},
        {LoginOutcome::kLoggedIn, ""},
        {LoginOutcome::kBadAddress, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoginProblemText(c.outcome, "127.0.0.79", 1000, "Connection refused"), c.text);
    }
    // A host from outside is quoted as every message quotes it.
    EXPECT_EQ(LoginProblemText(LoginOutcome::kPortClosed, "a\nb", 1, "").substr(0, 7), "a\\nb:1 ");
}
