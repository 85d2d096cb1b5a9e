#pragma once
// One range of IPv4 addresses to search, as the user writes it:
//
//   A.B.C.D/N     the hosts of that network (without its network and
//                 broadcast addresses when N is 30 or less)
//   A.B.C.D-E     A.B.C.D up to A.B.C.E in the last part
//   A.B.C.D       that address alone
//
// Every address is read by HostAddress's strict rule (four decimal parts, no
// leading zeros), so no text means another address than the one shown.
// Addresses here are numbers in host order: 10.0.0.1 is 0x0A000001.
#include <cstdint>
#include <string>

class AddressRange {
public:
    static constexpr int kAddressBits = 32;

    // The range of `text`; false with what is wrong, quoting it, otherwise.
    static bool Parse(const std::string& text, AddressRange* out, std::string* problem);
    // The hosts of the network of `address` with `prefixLength` bits.
    static AddressRange Network(uint32_t address, int prefixLength);

    uint32_t First() const { return first_; }
    uint32_t Last() const { return last_; }
    uint64_t Count() const { return uint64_t{last_} - first_ + 1; }
    // As the user would write it: "10.0.0.0/24", "127.0.77.1-40", "10.0.0.5".
    const std::string& Text() const { return text_; }

private:
    uint32_t first_ = 0;
    uint32_t last_ = 0;
    std::string text_;
};

// "10.0.0.1" for 0x0A000001.
std::string DottedAddress(uint32_t address);
// The address a strict dotted-quad text names; false for any other text.
bool ReadDottedAddress(const std::string& text, uint32_t* address);
