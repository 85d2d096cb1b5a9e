#include "box/HostAddress.h"

#include <gtest/gtest.h>

#include "base/TextEscape.h"
#include "box/NetApi.h"

namespace {

enum class Reads { kIPv4, kHostName, kRefused };

struct AddressCase {
    const char* typed;
    Reads reads;
    const char* dotted;  // kIPv4: the address connected to
    const char* says;    // kRefused: part of the message besides the value
};

// Host names are only checked, never resolved; every numeric row stays on
// this machine even if it were read the way a resolver reads it.
const AddressCase kCases[] = {
    {"127.0.0.1", Reads::kIPv4, "127.0.0.1", nullptr},
    {" 127.0.0.3 ", Reads::kIPv4, "127.0.0.3", nullptr},
    {"0.0.0.0", Reads::kIPv4, "0.0.0.0", nullptr},
    {"localhost", Reads::kHostName, nullptr, nullptr},
    {"box-7.lan", Reads::kHostName, nullptr, nullptr},
    {"127.0.0.1x", Reads::kHostName, nullptr, nullptr},
    {"127.0.0.010", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"127.0.0.01", Reads::kRefused, nullptr, "without leading zeros"},
    {"0127.0.0.1", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"127.1", Reads::kRefused, nullptr, "four decimal numbers from 0 to 255"},
    {"0x7f.0.0.1", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"2130706433", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"127.0.0.1.", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"127.0.0.1.1", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"127.256.0.1", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"box.0x7f", Reads::kRefused, nullptr, "is not an IPv4 address"},
    {"127.0.0.1 x", Reads::kRefused, nullptr, "nor a host name"},
    {"box..lan", Reads::kRefused, nullptr, "nor a host name"},
    {"box\x1b.lan", Reads::kRefused, nullptr, "nor a host name"},
    {"  ", Reads::kRefused, nullptr, "is empty"},
};

}  // namespace

TEST(HostAddressTest, NumericFormsAreAddressesExactlyAsTyped) {
    for (const AddressCase& c : kCases) {
        SCOPED_TRACE(c.typed);
        const HostAddress address(c.typed);
        EXPECT_EQ(address.IsValid(), c.reads != Reads::kRefused);
        EXPECT_EQ(address.IsIPv4(), c.reads == Reads::kIPv4);
        EXPECT_EQ(address.IPv4Problem().empty(), c.reads == Reads::kIPv4);
        if (c.reads == Reads::kIPv4) {
            EXPECT_EQ(net::DottedIPv4(address.IPv4NetOrder()), c.dotted);
            EXPECT_EQ(address.Text(), c.dotted);
            uint32_t resolved = 0;
            ASSERT_TRUE(net::ResolveIPv4(c.typed, &resolved));
            EXPECT_EQ(resolved, address.IPv4NetOrder());
        }
        if (c.reads == Reads::kRefused) {
            EXPECT_NE(address.Problem().find(c.says), std::string::npos) << address.Problem();
            // The resolver is never handed a form that it could read otherwise.
            uint32_t resolved = 0;
            EXPECT_FALSE(net::ResolveIPv4(c.typed, &resolved));
            // The value as typed, first, for the caller to put its source before.
            if (!address.Text().empty()) {
                EXPECT_EQ(address.Problem().rfind("'" + QuoteForMessage(c.typed) + "' is ", 0), 0u)
                    << address.Problem();
            }
        }
    }
}
