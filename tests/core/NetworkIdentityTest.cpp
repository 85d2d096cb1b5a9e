#include <gtest/gtest.h>

#include "box/NetApi.h"
#include "box/NetworkIdentity.h"

TEST(NetworkIdentity, HostNameAndAddressLookups) {
    net::Startup();
    std::string name;
    ASSERT_EQ(GetLocalHostName(&name), 0);
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, "Not available");

    std::string address = "unchanged";
    EXPECT_EQ(GetHostAddress("127.0.0.1", &address), 0);
    EXPECT_EQ(address, "127.0.0.1");

    address = "unchanged";
    EXPECT_NE(GetHostAddress("no such host", &address), 0);
    EXPECT_EQ(address, "");
}
