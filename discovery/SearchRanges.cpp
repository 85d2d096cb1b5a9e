#include "discovery/SearchRanges.h"

#include <algorithm>

#include "discovery/AddressClass.h"

SearchRanges::Problem SearchRanges::Read(const std::vector<std::string>& texts, bool onPurpose,
                                         std::string* why) {
    std::vector<AddressRange> ranges;
    for (const std::string& text : texts) {
        AddressRange range;
        if (!AddressRange::Parse(text, &range, why)) {
            return Problem::kBadText;
        }
        ranges.push_back(range);
    }
    return Take(ranges, onPurpose, why);
}

SearchRanges::Problem SearchRanges::Take(const std::vector<AddressRange>& ranges, bool onPurpose,
                                         std::string* why) {
    uint64_t total = 0;
    for (const AddressRange& range : ranges) {
        total += range.Count();
        if (total > kMostAddresses) {
            *why = "the ranges hold more than " + std::to_string(kMostAddresses) +
                   " addresses, the most one search tries (" + range.Text() + " among them)";
            return Problem::kTooMany;
        }
    }
    std::vector<uint32_t> addresses;
    addresses.reserve(total);
    for (const AddressRange& range : ranges) {
        for (uint64_t a = range.First(); a <= range.Last(); ++a) {
            addresses.push_back(static_cast<uint32_t>(a));
        }
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    if (!onPurpose && addresses.size() > kMostUnasked) {
        *why = "the ranges hold " + std::to_string(addresses.size()) + " addresses, more than " +
               std::to_string(kMostUnasked);
        return Problem::kNeedsPurpose;
    }
    // At most kMostUnasked addresses to look at.
    for (size_t i = 0; !onPurpose && i < addresses.size(); ++i) {
        const AddressClass kind = ClassOf(addresses[i]);
        if (kind != AddressClass::kPrivate && kind != AddressClass::kLoopback) {
            *why = DottedAddress(addresses[i]) +
                   " is in none of the LAN's private ranges (10.0.0.0/8, 172.16.0.0/12, "
                   "192.168.0.0/16) nor loopback";
            return Problem::kNeedsPurpose;
        }
    }
    ranges_ = ranges;
    addresses_ = std::move(addresses);
    return Problem::kNone;
}
