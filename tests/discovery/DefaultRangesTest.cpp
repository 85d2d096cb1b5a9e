// The ranges a search without ranges would touch, from made-up interfaces:
// nothing here lists or reaches the PC's own.
#include "discovery/DefaultRanges.h"

#include <gtest/gtest.h>

namespace {

LocalInterface Interface(const char* name, const char* dotted, int prefixLength) {
    LocalInterface itf;
    itf.name = name;
    EXPECT_TRUE(ReadDottedAddress(dotted, &itf.address)) << dotted;
    itf.prefixLength = prefixLength;
    return itf;
}

struct DefaultCase {
    LocalInterface itf;
    const char* range;  // null: left out
    const char* why;    // part of the note; null: none
};

TEST(DefaultRangesTest, PrivateNetworksOnlyWideOnesCutToTheirSlash24) {
    const DefaultCase cases[] = {
        {Interface("eth0", "10.1.2.3", 8), "10.1.2.0/24", "cut to the /24 around 10.1.2.3"},
        {Interface("wlan0", "192.168.1.20", 24), "192.168.1.0/24", nullptr},
        {Interface("docker0", "172.20.0.5", 16), "172.20.0.0/24", "its network 172.20.0.0/16"},
        {Interface("wan", "203.0.113.7", 24), nullptr, "203.0.113.0/24 is not a private network"},
        {Interface("eth1", "169.254.10.1", 16), nullptr, "link-local"},
        {Interface("lo", "127.0.0.1", 8), nullptr, "loopback"},
        {Interface("tun0", "10.8.0.6", 32), nullptr, "holds no other address"},
        {Interface("eth0:1", "192.168.1.30", 24), nullptr, "already comes from wlan0"},
        {Interface("vpn", "10.9.9.9", 28), "10.9.9.0/28", nullptr},
        {Interface("odd", "10.7.7.7", 40), nullptr, "no usable mask"},
    };
    std::vector<LocalInterface> interfaces;
    for (const DefaultCase& c : cases) {
        interfaces.push_back(c.itf);
    }
    const std::vector<DefaultRange> entries = DefaultRanges::Of(interfaces);
    ASSERT_EQ(entries.size(), std::size(cases));
    for (size_t i = 0; i < entries.size(); ++i) {
        const DefaultCase& c = cases[i];
        EXPECT_EQ(entries[i].from.name, c.itf.name);
        EXPECT_EQ(entries[i].searched, c.range != nullptr) << c.itf.name << ": " << entries[i].why;
        if (c.range != nullptr) {
            EXPECT_EQ(entries[i].range.Text(), c.range) << c.itf.name;
        }
        if (c.why == nullptr) {
            EXPECT_EQ(entries[i].why, "") << c.itf.name;
        } else {
            EXPECT_NE(entries[i].why.find(c.why), std::string::npos) << entries[i].why;
        }
    }
    std::vector<std::string> searched;
    for (const AddressRange& r : DefaultRanges::Searched(entries)) {
        searched.push_back(r.Text());
    }
    EXPECT_EQ(searched, (std::vector<std::string>{"10.1.2.0/24", "192.168.1.0/24", "172.20.0.0/24",
                                                  "10.9.9.0/28"}));
}

}  // namespace
