#pragma once
// One IPv4 address of one of the PC's network interfaces, as the platform
// lists them (LocalInterfaces) and DefaultRanges reads them.
#include <cstdint>
#include <string>

struct LocalInterface {
    std::string name;      // "eth0", "Ethernet 2"
    uint32_t address = 0;  // host order
    int prefixLength = 0;  // from the mask: 255.255.255.0 is 24
};
