#pragma once
// The addresses one search tries: the ranges given, each address once, in
// address order. A search of many addresses, or of addresses outside the
// LAN's private ranges and loopback, touches other people's machines: it is
// made only when the caller says it was asked for on purpose.
#include <cstdint>
#include <string>
#include <vector>

#include "discovery/AddressRange.h"

class SearchRanges {
public:
    // More than this needs to be asked for on purpose (a /20 holds 4,094).
    static constexpr uint64_t kMostUnasked = 4096;
    // No search tries more than this, asked or not: a /16.
    static constexpr uint64_t kMostAddresses = 65536;

    enum class Problem {
        kNone,
        kBadText,       // a range that does not read
        kTooMany,       // more than kMostAddresses
        kNeedsPurpose,  // fine, but only when asked on purpose
    };

    // Reads `texts` (AddressRange's forms); `onPurpose` allows more than
    // kMostUnasked addresses and public ones. On a problem, `why` says what
    // it is, naming the range.
    Problem Read(const std::vector<std::string>& texts, bool onPurpose, std::string* why);
    // The same for ranges already read.
    Problem Take(const std::vector<AddressRange>& ranges, bool onPurpose, std::string* why);

    const std::vector<AddressRange>& Ranges() const { return ranges_; }
    // Every address of the ranges once, lowest first.
    const std::vector<uint32_t>& Addresses() const { return addresses_; }

private:
    std::vector<AddressRange> ranges_;
    std::vector<uint32_t> addresses_;
};
