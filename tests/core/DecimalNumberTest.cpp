#include <gtest/gtest.h>

#include <limits>

#include "base/DecimalNumber.h"

TEST(DecimalNumber, ReadsDecimalDigitsOnlyWithinTheRange) {
    constexpr long long kMax = std::numeric_limits<long long>::max();
    constexpr long long kMin = std::numeric_limits<long long>::min();
    constexpr long long kRefused = 77;
    const struct {
        const char* text;
        long long low, high, read;
    } cases[] = {
        {"16", 0, 65535, 16},
        {"010", 0, 65535, 10},  // no octal
        {"65536", 0, 65535, kRefused},
        {"0x10", 0, 65535, kRefused},
        {"1e3", 0, 65535, kRefused},
        {"+16", 0, 65535, kRefused},
        {" 16", 0, 65535, kRefused},
        {"", 0, 65535, kRefused},
        {"-1", 0, 65535, kRefused},
        {"-1", -5, 5, -1},
        {"-", -5, 5, kRefused},
        {"9223372036854775807", 0, kMax, kMax},
        {"9223372036854775808", 0, kMax, kRefused},
        {"-9223372036854775808", kMin, 0, kMin},
    };
    for (const auto& c : cases) {
        long long value = kRefused;
        EXPECT_EQ(ReadDecimal(c.text, c.low, c.high, &value), c.read != kRefused) << c.text;
        EXPECT_EQ(value, c.read) << c.text;
    }
}
