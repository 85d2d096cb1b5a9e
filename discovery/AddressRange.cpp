#include "discovery/AddressRange.h"

#include <algorithm>
#include <cstring>

#include "base/DecimalNumber.h"
#include "base/TextEscape.h"
#include "box/HostAddress.h"

namespace {

constexpr int kLastPartMax = 255;
constexpr uint32_t kLastPartMask = 0xFF;
// Networks this small have no network and broadcast address to leave out.
constexpr int kSmallestWithBroadcast = 30;

std::string Quoted(const std::string& text) {
    return "'" + QuoteForMessage(text) + "'";
}

uint32_t MaskOf(int prefixLength) {
    return prefixLength == 0 ? 0 : ~uint32_t{0} << (AddressRange::kAddressBits - prefixLength);
}

}  // namespace

std::string DottedAddress(uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

bool ReadDottedAddress(const std::string& text, uint32_t* address) {
    const HostAddress typed(text);
    if (!typed.IsIPv4() || typed.Text() != text) {
        return false;
    }
    const uint32_t netOrder = typed.IPv4NetOrder();
    uint8_t bytes[4];
    std::memcpy(bytes, &netOrder, sizeof bytes);
    *address =
        uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    return true;
}

AddressRange AddressRange::Network(uint32_t address, int prefixLength) {
    const uint32_t mask = MaskOf(prefixLength);
    AddressRange range;
    range.first_ = address & mask;
    range.last_ = range.first_ | ~mask;
    if (prefixLength <= kSmallestWithBroadcast) {
        ++range.first_;
        --range.last_;
    }
    range.text_ = DottedAddress(address & mask) + "/" + std::to_string(prefixLength);
    return range;
}

bool AddressRange::Parse(const std::string& text, AddressRange* out, std::string* problem) {
    const std::string expected =
        ": write A.B.C.D/N (N from 0 to 32), A.B.C.D-E or A.B.C.D, each part a decimal number "
        "from 0 to 255 without leading zeros";
    const size_t slash = text.find('/');
    const size_t dash = text.find('-');
    const std::string addressText = text.substr(0, std::min(slash, dash));
    uint32_t address = 0;
    if (!ReadDottedAddress(addressText, &address)) {
        *problem = Quoted(text) + " is not a range of IPv4 addresses" + expected;
        return false;
    }
    if (slash != std::string::npos && dash == std::string::npos) {
        long long bits = 0;
        const std::string bitsText = text.substr(slash + 1);
        if (!ReadDecimal(bitsText, 0, kAddressBits, &bits) ||
            (bitsText.size() > 1 && bitsText[0] == '0')) {
            *problem = Quoted(text) + " has no prefix length from 0 to 32 after '/'" + expected;
            return false;
        }
        *out = Network(address, static_cast<int>(bits));
        return true;
    }
    if (dash != std::string::npos && slash == std::string::npos) {
        long long last = 0;
        const std::string lastText = text.substr(dash + 1);
        if (!ReadDecimal(lastText, 0, kLastPartMax, &last) ||
            (lastText.size() > 1 && lastText[0] == '0') ||
            static_cast<uint32_t>(last) < (address & kLastPartMask)) {
            *problem = Quoted(text) + " does not end in a last part from " +
                       std::to_string(address & kLastPartMask) + " to 255 after '-'" + expected;
            return false;
        }
        out->first_ = address;
        out->last_ = (address & ~kLastPartMask) | static_cast<uint32_t>(last);
        out->text_ = text;
        return true;
    }
    if (slash != std::string::npos || dash != std::string::npos) {
        *problem = Quoted(text) + " is not a range of IPv4 addresses" + expected;
        return false;
    }
    out->first_ = out->last_ = address;
    out->text_ = text;
    return true;
}
