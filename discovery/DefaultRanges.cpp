#include "discovery/DefaultRanges.h"

#include "discovery/AddressClass.h"

namespace {

// A /31 or /32 has no other machine on it to find.
constexpr int kNarrowestWithNeighbours = 30;

}  // namespace

std::vector<DefaultRange> DefaultRanges::Of(const std::vector<LocalInterface>& interfaces) {
    std::vector<DefaultRange> entries;
    for (const LocalInterface& itf : interfaces) {
        DefaultRange entry;
        entry.from = itf;
        const std::string own = DottedAddress(itf.address);
        if (itf.prefixLength < 0 || itf.prefixLength > AddressRange::kAddressBits) {
            entry.why = own + " has no usable mask: left out";
            entries.push_back(entry);
            continue;
        }
        const AddressRange network = AddressRange::Network(itf.address, itf.prefixLength);
        switch (ClassOf(itf.address)) {
            case AddressClass::kLoopback:
                entry.why = own + " is loopback: left out";
                break;
            case AddressClass::kLinkLocal:
                entry.why = own + " is link-local (no network was configured): left out";
                break;
            case AddressClass::kPublic:
                entry.why =
                    network.Text() + " is not a private network: left out (name it to search it)";
                break;
            case AddressClass::kPrivate:
                if (itf.prefixLength > kNarrowestWithNeighbours) {
                    entry.why = network.Text() + " holds no other address: left out";
                } else if (itf.prefixLength < kWidestPrefix) {
                    entry.searched = true;
                    entry.range = AddressRange::Network(itf.address, kWidestPrefix);
                    entry.why = "cut to the /24 around " + own + " (its network " + network.Text() +
                                " is wider)";
                } else {
                    entry.searched = true;
                    entry.range = network;
                }
                break;
        }
        for (const DefaultRange& earlier : entries) {
            if (entry.searched && earlier.searched && earlier.range.Text() == entry.range.Text()) {
                entry.searched = false;
                entry.why = entry.range.Text() + " already comes from " + earlier.from.name;
            }
        }
        entries.push_back(entry);
    }
    return entries;
}

std::vector<AddressRange> DefaultRanges::Searched(const std::vector<DefaultRange>& entries) {
    std::vector<AddressRange> ranges;
    for (const DefaultRange& entry : entries) {
        if (entry.searched) {
            ranges.push_back(entry.range);
        }
    }
    return ranges;
}
