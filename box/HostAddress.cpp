#include "box/HostAddress.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "base/TextEscape.h"
#include "box/BoxDefaults.h"

namespace {

constexpr size_t kIPv4Parts = 4;
constexpr int kMaxPart = 255;
constexpr size_t kMaxPartDigits = 3;
// DNS limits on a name and on each of its labels.
constexpr size_t kMaxNameLength = 253;
constexpr size_t kMaxLabelLength = 63;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

template <typename Accept>
bool AllOf(const std::string& text, Accept accept) {
    for (const char c : text) {
        if (!accept(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

bool IsDigit(unsigned char c) {
    return std::isdigit(c) != 0;
}

bool IsHexDigit(unsigned char c) {
    return std::isxdigit(c) != 0;
}

// inet_pton's dotted form: four decimal parts 0..255, none with a leading zero.
bool ParseStrictIPv4(const std::string& text, uint32_t* addressNetOrder) {
    const std::vector<std::string> parts = Split(text, '.');
    if (parts.size() != kIPv4Parts) {
        return false;
    }
    uint8_t bytes[kIPv4Parts] = {};
    for (size_t i = 0; i < kIPv4Parts; ++i) {
        const std::string& part = parts[i];
        if (part.empty() || part.size() > kMaxPartDigits || !AllOf(part, IsDigit) ||
            (part.size() > 1 && part[0] == '0')) {
            return false;
        }
        const int value = std::stoi(part);
        if (value > kMaxPart) {
            return false;
        }
        bytes[i] = static_cast<uint8_t>(value);
    }
    // The bytes in order are the address in network order.
    std::memcpy(addressNetOrder, bytes, sizeof bytes);
    return true;
}

// A label that a resolver reads as a number: decimal (or octal with a
// leading zero), or hex after 0x.
bool IsNumericLabel(const std::string& label) {
    if (label.size() >= 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X')) {
        return AllOf(label.substr(2), IsHexDigit);
    }
    return !label.empty() && AllOf(label, IsDigit);
}

// Forms that some resolver takes as an IPv4 address: only digits and dots,
// or a last label (a trailing dot aside) that is a number. No top-level
// domain is numeric, so no host name is lost.
bool LooksNumeric(const std::string& text) {
    if (text.find_first_not_of("0123456789.") == std::string::npos) {
        return true;
    }
    std::vector<std::string> labels = Split(text, '.');
    if (labels.size() > 1 && labels.back().empty()) {
        labels.pop_back();
    }
    return IsNumericLabel(labels.back());
}

bool IsHostNameCharacter(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '_';
}

// Letters, digits, '-' and '_' in dot-separated labels: nothing that a
// resolver would cut off or read in another way (inet_aton stops at a blank
// and takes what came before as an address).
bool IsHostName(const std::string& text) {
    if (text.empty() || text.size() > kMaxNameLength) {
        return false;
    }
    for (const std::string& label : Split(text, '.')) {
        if (label.empty() || label.size() > kMaxLabelLength || !AllOf(label, IsHostNameCharacter)) {
            return false;
        }
    }
    return true;
}

std::string Quoted(const std::string& text) {
    return "'" + QuoteForMessage(text) + "'";
}

std::string ExpectedIPv4() {
    return std::string(
               "four decimal numbers from 0 to 255 separated by dots, without leading "
               "zeros (such as ") +
           box_defaults::kAddress + ")";
}

}  // namespace

HostAddress::HostAddress(const std::string& typed) : typed_(typed) {
    const size_t first = typed.find_first_not_of(' ');
    text_ = first == std::string::npos
                ? ""
                : typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    if (ParseStrictIPv4(text_, &addressNetOrder_)) {
        ipv4_ = true;
    } else if (text_.empty()) {
        problem_ = "is empty: the box's address is " + ExpectedIPv4();
    } else if (LooksNumeric(text_)) {
        problem_ = Quoted(typed_) + " is not an IPv4 address: write " + ExpectedIPv4();
    } else if (!IsHostName(text_)) {
        problem_ = Quoted(typed_) + " is neither an IPv4 address nor a host name: write " +
                   ExpectedIPv4() + ", or a name of letters, digits, '-' and dots";
    }
}

std::string HostAddress::IPv4Problem() const {
    if (ipv4_) {
        return "";
    }
    return !problem_.empty() ? problem_
                             : Quoted(typed_) + " is not an IPv4 address: write " + ExpectedIPv4();
}
