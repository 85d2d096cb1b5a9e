// The socket seam's waits while signals keep arriving: each goes on for the
// rest of its time instead of failing with EINTR, and data that comes
// meanwhile is received.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "box/NetApi.h"
#include "tests/support/SignalStorm.h"

namespace {

constexpr int kWaitMs = 300;
constexpr auto kDataAfter = std::chrono::milliseconds(100);
// Far beyond kWaitMs: a wait that starts again at every signal ends only
// when the storm does.
constexpr auto kStormLimit = std::chrono::seconds(3);

// A connected pair of loopback sockets, made through the seam.
class LoopbackPair {
public:
    LoopbackPair() {
        int error = 0;
        listener_ = net::Listen("127.0.0.1", 0, 1, &error);
        near_ = net::OpenStream(0);
        uint32_t address = 0;
        net::ResolveIPv4("127.0.0.1", &address);
        net::ConnectIPv4(near_, address, net::LocalPort(listener_));
        far_ = net::Accept(listener_);
        net::SetBlocking(near_, true);
    }
    ~LoopbackPair() {
        for (net::Handle h : {near_, far_, listener_}) {
            if (h != net::kInvalidHandle) {
                net::CloseHandle(h);
            }
        }
    }
    LoopbackPair(const LoopbackPair&) = delete;
    LoopbackPair& operator=(const LoopbackPair&) = delete;

    net::Handle Near() const { return near_; }
    net::Handle Far() const { return far_; }

private:
    net::Handle listener_ = net::kInvalidHandle;
    net::Handle near_ = net::kInvalidHandle;
    net::Handle far_ = net::kInvalidHandle;
};

struct Case {
    const char* what;
    std::function<int(net::Handle)> wait;
    bool dataComes;
    int expected;
};

int SelectForReading(net::Handle h) {
    return net::SelectOneMs(h, true, kWaitMs);
}

int ReceiveFour(net::Handle h) {
    char buffer[4];
    int applied = 0;
    return net::ReceiveWithinMs(h, buffer, sizeof buffer, kWaitMs, &applied);
}

const Case kCases[] = {
    {"select, nothing comes: time-out", SelectForReading, false, 0},
    {"select, data comes: ready", SelectForReading, true, 1},
    {"receive, nothing comes: not ready", ReceiveFour, false, net::kNotReady},
    {"receive, data comes: the bytes", ReceiveFour, true, 4},
};

}  // namespace

TEST(NetApiSignals, AWaitCutShortBySignalsGoesOnForTheRestOfItsTime) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        LoopbackPair pair;
        ASSERT_NE(pair.Far(), net::kInvalidHandle);
        std::atomic<bool> done{false};
        int result = -100;
        std::thread waiter([&] {
            result = c.wait(pair.Near());
            done = true;
        });
        const int handledBefore = SignalStorm::Handled();
        const auto start = std::chrono::steady_clock::now();
        {
            SignalStorm storm(waiter.native_handle());
            std::this_thread::sleep_for(kDataAfter);
            if (c.dataComes) {
                ASSERT_EQ(net::SendSome(pair.Far(), "data", 4), 4);
            }
            while (!done && std::chrono::steady_clock::now() - start < kStormLimit) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            EXPECT_TRUE(done.load()) << "still waiting when the storm ended";
        }
        waiter.join();
        EXPECT_EQ(result, c.expected);
        EXPECT_GT(SignalStorm::Handled(), handledBefore) << "no signal reached the wait";
    }
}
