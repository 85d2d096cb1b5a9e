#include "discovery/AddressClass.h"

namespace {

struct Block {
    uint32_t network;
    int prefixLength;
    AddressClass kind;
};

constexpr Block kBlocks[] = {
    {0x7F000000, 8, AddressClass::kLoopback}, {0xA9FE0000, 16, AddressClass::kLinkLocal},
    {0x0A000000, 8, AddressClass::kPrivate},  {0xAC100000, 12, AddressClass::kPrivate},
    {0xC0A80000, 16, AddressClass::kPrivate},
};

}  // namespace

AddressClass ClassOf(uint32_t address) {
    for (const Block& block : kBlocks) {
        const uint32_t mask = ~uint32_t{0} << (32 - block.prefixLength);
        if ((address & mask) == block.network) {
            return block.kind;
        }
    }
    return AddressClass::kPublic;
}
