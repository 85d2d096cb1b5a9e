#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/DecimalNumber.h"

TEST(DecimalNumber, ReadsDecimalDigitsOnlyWithinTheRange) {
    constexpr long long kMax = std::numeric_limits<long long>::max();
    constexpr long long kMin = std::numeric_limits<long long>::min();
    constexpr long long kUnread = 77;
    struct Case {
        const char* text;
        long long low;
        long long high;
        long long read;  // kUnread: refused
    } cases[] = {
        {"16", 0, 65535, 16},
        {"0", 0, 65535, 0},
        {"010", 0, 65535, 10},  // a leading 0 is no octal
        {"65535", 0, 65535, 65535},
        {"65536", 0, 65535, kUnread},
        {"0x10", 0, 65535, kUnread},
        {"0X10", 0, 65535, kUnread},
        {"1e3", 0, 65535, kUnread},
        {"+16", 0, 65535, kUnread},
        {" 16", 0, 65535, kUnread},
        {"16 ", 0, 65535, kUnread},
        {"", 0, 65535, kUnread},
        {"-", -5, 5, kUnread},
        {"-1", 0, 65535, kUnread},  // no sign where no negative number fits
        {"-1", -5, 5, -1},
        {"--1", -5, 5, kUnread},
        {"9223372036854775807", 0, kMax, kMax},
        {"9223372036854775808", 0, kMax, kUnread},
        {"99999999999999999999999", 0, kMax, kUnread},
        {"-9223372036854775808", kMin, 0, kMin},
        {"-9223372036854775809", kMin, 0, kUnread},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        long long value = kUnread;
        EXPECT_EQ(ReadDecimal(c.text, c.low, c.high, &value), c.read != kUnread);
        EXPECT_EQ(value, c.read);
    }
}
