#pragma once
// What a search touches when no range is named: the PC's own IPv4
// networks, each interface's network from its address and mask. Loopback
// and link-local are left out, and so is every network outside the private
// ranges (10/8, 172.16/12, 192.168/16): those belong to someone else. A
// network wider than a /24 is cut to the /24 around the PC's own address,
// which is where a box on a home or shop LAN is. The interfaces are input,
// so that all of this is decided without the network.
#include <string>
#include <vector>

#include "discovery/AddressRange.h"
#include "discovery/LocalInterface.h"

struct DefaultRange {
    LocalInterface from;
    bool searched = false;  // false: left out, for `why`
    AddressRange range;     // when searched
    // Empty for a network searched whole; else why it is cut or left out:
    // "cut to the /24 around 10.1.2.3 (its network 10.0.0.0/8 is wider)".
    std::string why;
};

class DefaultRanges {
public:
    // The widest network searched whole.
    static constexpr int kWidestPrefix = 24;

    // One entry per interface address, in the order given; a network that
    // an earlier interface already gave is left out saying so.
    static std::vector<DefaultRange> Of(const std::vector<LocalInterface>& interfaces);
    // The ranges of those searched.
    static std::vector<AddressRange> Searched(const std::vector<DefaultRange>& entries);
};
