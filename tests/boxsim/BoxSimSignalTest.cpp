// The substitute box while signals keep arriving at its serving thread:
// every wait goes on, so no connection ends for a signal.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "BoxSimFixture.h"
#include "WireBytes.h"
#include "tests/support/SignalStorm.h"

namespace {

using BoxSignals = BoxSimFixture;

constexpr auto kStormLength = std::chrono::milliseconds(300);

// A step of an exchange, each begun before the storm and finished after it.
struct Case {
    const char* what;
    Bytes before;  // sent before the storm
    Bytes after;   // sent after it
    Bytes answer;  // what the box then sends
};

}  // namespace

TEST_F(BoxSignals, AWaitingBoxKeepsItsConnectionThroughSignals) {
    StartBox();
    const Bytes loginAccepted = {0, 0, 0x01, 0x10, 0, 1};
    const Case cases[] = {
        {"between requests", {}, kLoginRequest, loginAccepted},
        {"inside a request", Bytes(kLoginRequest.begin(), kLoginRequest.begin() + 6),
         Bytes(kLoginRequest.begin() + 6, kLoginRequest.end()), loginAccepted},
        {"between upload blocks", Concat({kLoginRequest, Header(4), NameField("b.txt")}),
         Block(3, "xyz", 3), Concat({loginAccepted, kAccepted, kAccepted})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto pc = Connect();
        ASSERT_TRUE(pc->Send(c.before));
        const int handledBefore = SignalStorm::Handled();
        {
            SignalStorm storm;  // blocked here: the box's thread takes them
            std::this_thread::sleep_for(kStormLength);
        }
        EXPECT_GT(SignalStorm::Handled(), handledBefore) << "no signal reached the box";
        ASSERT_TRUE(pc->Send(c.after));
        EXPECT_EQ(pc->Receive(c.answer.size()), c.answer);
    }
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& st) { return st.uploadsStored == 1; }, 5000));
    EXPECT_EQ(ReadFile("b.txt"), "xyz");
}
