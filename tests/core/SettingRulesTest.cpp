// The port and password rules that the settings file, the command line and the
// window share.
#include <gtest/gtest.h>

#include "box/SettingRules.h"

TEST(SettingRules, PortsAndPasswordsAsTyped) {
    const struct {
        const char* text;
        int port;  // 0: not a port
        bool password;
    } cases[] = {
        {"1", 1, true},
        {"7351", 7351, true},
        {"65535", 65535, false},
        {"00080", 80, false},
        {"000000000000000001000", 1000, false},  // leading zeros do not count
        {"0", 0, true},
        {"65536", 0, false},
        {"99999999999999999999999", 0, false},  // beyond every integer type
        {"", 0, false},
        {"-1", 0, false},
        {"+80", 0, false},
        {" 80", 0, false},
        {"80 ", 0, false},
        {"8a", 0, false},
        {"12345", 12345, false},  // one digit more than the login carries
    };
    for (const auto& c : cases) {
        int port = -1;
        EXPECT_EQ(setting_rules::ReadPort(c.text, &port), c.port != 0) << c.text;
        EXPECT_EQ(port, c.port != 0 ? c.port : -1) << c.text;
        EXPECT_EQ(setting_rules::IsPassword(c.text), c.password) << c.text;
    }
    EXPECT_EQ(setting_rules::PortRule(), "a number from 1 to 65535");
    EXPECT_EQ(setting_rules::PasswordRule(), "1 to 4 digits");
}
