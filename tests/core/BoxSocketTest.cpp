#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "box/BoxSocket.h"
#include "boxsim/SocketHandle.h"
#include "tests/support/ScriptedBox.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace

TEST(BoxSocket, StartsClosedWithItsDefaults) {
    BoxSocket s;
    EXPECT_FALSE(s.IsConnected());
    EXPECT_EQ(s.IoTimeoutMs(), 5000);
    char buffer[4];
    EXPECT_EQ(s.Receive(buffer, 4, 0), -1);  // closed: select fails
    EXPECT_EQ(s.Send(buffer, 4, 0), -1);
}

TEST(BoxSocket, ReceiveReturnsWhatHasArrivedAndZeroAtEndOfStream) {
    ScriptedBox box;
    box.Write(ScriptedBox::Bytes(1000, 7)).Close();
    box.Start();
    BoxSocket s;
    ASSERT_TRUE(s.Connect("127.0.0.1", box.Port(), 5000));
    uint8_t buffer[1460];
    int total = 0;
    while (total < 1000) {
        const int r = s.Receive(buffer, sizeof buffer, -1);
        ASSERT_GT(r, 0);
        EXPECT_LE(r, 1000);
        total += r;
    }
    EXPECT_EQ(total, 1000);
    EXPECT_EQ(s.Receive(buffer, sizeof buffer, -1), 0);  // the box closed
}

TEST(BoxSocket, TimeOutsAreWholeSeconds) {
    ScriptedBox box;
    box.Read(1);
    box.Start();
    BoxSocket s;
    ASSERT_TRUE(s.Connect("127.0.0.1", box.Port(), 5000));
    char buffer[8];
    auto start = Clock::now();
    EXPECT_EQ(s.Receive(buffer, 8, 0), -1);  // a time-out of 0 polls and reports -1
    EXPECT_EQ(s.WaitReady(true, 999), 0);    // below a second: polls, positive time-out: 0
    EXPECT_LT(MsSince(start), 900);
    start = Clock::now();
    EXPECT_EQ(s.Receive(buffer, 8, 1999), 0);  // waits one whole second
    const long long waited = MsSince(start);
    EXPECT_GE(waited, 950);
    EXPECT_LT(waited, 1900);
    EXPECT_EQ(s.Send("x", 1, -1), 1);
    s.Close();
}

TEST(BoxSocket, ASendTheBoxDoesNotReadWaitsItsTimeOutAndNoLonger) {
    // A listener that never accepts: the connection takes bytes until the
    // buffers on both sides are full, and then a send must not block.
    int error = 0;
    const SocketHandle listener(net::Listen("127.0.0.1", 0, 1, &error));
    ASSERT_TRUE(listener.IsValid()) << error;
    BoxSocket s;
    ASSERT_TRUE(s.Connect("127.0.0.1", net::LocalPort(listener.Get()), 5000));
    const std::vector<char> chunk(64 * 1024, 'x');
    constexpr int kMaxChunks = 4096;  // 256 MiB: far beyond any socket buffer
    int r = 1;
    for (int i = 0; i < kMaxChunks && r > 0; ++i) {
        r = s.Send(chunk.data(), static_cast<int>(chunk.size()), 0);
    }
    EXPECT_EQ(r, -1);  // full: a time-out of 0 polls and reports -1
    const auto start = Clock::now();
    EXPECT_EQ(s.Send(chunk.data(), 1, 1999), 0);  // waits one whole second
    const long long waited = MsSince(start);
    EXPECT_GE(waited, 950);
    EXPECT_LT(waited, 1900);
}

TEST(BoxSocket, ConnectToClosedPortFailsAndLeavesItClosed) {
    BoxSocket s;
    EXPECT_FALSE(s.Connect("127.0.0.1", ClosedLoopbackPort(), 5000));
    EXPECT_FALSE(s.IsConnected());
}

TEST(BoxSocket, ConnectToAnAddressTheRuleRefusesFails) {
    BoxSocket s;
    EXPECT_FALSE(s.Connect("no such host", 1000, 5000));
    EXPECT_FALSE(s.IsConnected());
}

// Requests go out as two small writes (head, then name or password) and each
// download record is answered by a 6-byte write: with small-write coalescing
// on, each of those would wait for the box's delayed acknowledgement.
TEST(BoxSocket, NullHostReconnectsToTheSameHostAndPortAndSmallWritesGoAtOnce) {
    ScriptedBox box;
    box.Read(1).NextConnection().Read(1);
    box.Start();
    BoxSocket s;
    ASSERT_TRUE(s.Connect("127.0.0.1", box.Port(), 5000));
    EXPECT_TRUE(net::NoDelayIsOn(s.NativeHandle()));
    EXPECT_EQ(s.Send("a", 1, -1), 1);
    ASSERT_TRUE(s.Connect(nullptr, 0, -1));
    EXPECT_TRUE(net::NoDelayIsOn(s.NativeHandle()));  // a new socket gets it too
    EXPECT_EQ(s.Port(), box.Port());
    EXPECT_EQ(s.Host(), "127.0.0.1");
    EXPECT_EQ(s.Send("b", 1, -1), 1);
    s.Close();
    const auto received = box.Finish();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], ScriptedBox::Bytes{'a'});
    EXPECT_EQ(received[1], ScriptedBox::Bytes{'b'});
}

TEST(BoxSocket, NullHostWithoutEarlierHostFails) {
    BoxSocket s;
    EXPECT_FALSE(s.Connect(nullptr, 0, -1));
    EXPECT_FALSE(s.IsConnected());
}
