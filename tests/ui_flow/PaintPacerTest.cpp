#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/flow/PaintPacer.h"

namespace {

constexpr uint32_t I = PaintPacer::kIntervalMs;
constexpr uint32_t kNearWrap = 0xFFFFFFFFu - 10;  // GetTickCount wraps after 49.7 days

struct Ask {
    uint32_t at;
    bool now;
    bool due;
};

struct Case {
    const char* what;
    std::vector<Ask> asks;
};

const Case kCases[] = {
    {"the first paint is due, whatever the tick", {{0, false, true}, {1, false, false}}},
    {"a moment later is not, an interval later is",
     {{5000, false, true}, {5000 + I - 1, false, false}, {5000 + I, false, true}}},
    {"an ask that is not due does not move the interval",
     {{5000, false, true}, {5050, false, false}, {5000 + I, false, true}}},
    {"`now` is always due and starts a new interval",
     {{5000, false, true}, {5001, true, true}, {5000 + I, false, false}, {5001 + I, false, true}}},
    {"across the tick count's wrap", {{kNearWrap, false, true}, {kNearWrap + I, false, true}}},
    {"not due just before the wrapped interval",
     {{kNearWrap, false, true}, {kNearWrap + I - 1, false, false}}},
};

TEST(PaintPacerTest, PaintsAtMostOncePerInterval) {
    for (const Case& c : kCases) {
        PaintPacer pacer;
        for (size_t i = 0; i < c.asks.size(); ++i) {
            const Ask& a = c.asks[i];
            EXPECT_EQ(pacer.Due(a.at, a.now), a.due) << c.what << ", ask " << i;
        }
    }
}

}  // namespace
