#pragma once
// What kind of network an IPv4 address (host order) belongs to, for the
// choice of what a search may touch without being asked on purpose.
#include <cstdint>

enum class AddressClass {
    kLoopback,   // 127.0.0.0/8: this PC itself
    kLinkLocal,  // 169.254.0.0/16: no network was configured
    kPrivate,    // 10.0.0.0/8, 172.16.0.0/12, 192.168.0.0/16: a LAN
    kPublic,     // anything else: someone else's machines
};

AddressClass ClassOf(uint32_t address);
