#include "backup/StoreName.h"

namespace {

constexpr char kEscape = '%';
constexpr char kHidden = '.';
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0xF;
constexpr size_t kEscapeLength = 3;  // %HH

bool IsKept(char c, bool first) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || (c == kHidden && !first);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    // Only upper case: lower case would be a second spelling of one byte.
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The byte of the %HH at `at`, or -1 when there is none.
int EscapedByte(const std::string& text, size_t at) {
    if (at + kEscapeLength > text.size() || text[at] != kEscape) {
        return -1;
    }
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : (high << kNibbleBits) | low;
}

}  // namespace

std::string StoreName::Encode(const std::string& name) {
    if (name.empty()) {
        return "_";
    }
    std::string text;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (IsKept(c, i == 0)) {
            text += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        text += kEscape;
        text += kHexDigits[byte >> kNibbleBits];
        text += kHexDigits[byte & kNibbleMask];
    }
    return text;
}

std::string StoreName::Decode(const std::string& storeName) {
    if (!IsStoreName(storeName)) {
        return storeName;
    }
    std::string name;
    for (size_t i = 0; i < storeName.size(); ++i) {
        const int byte = EscapedByte(storeName, i);
        if (byte < 0) {
            name += storeName[i];
        } else {
            name += static_cast<char>(byte);
            i += kEscapeLength - 1;
        }
    }
    return name;
}

bool StoreName::IsStoreName(const std::string& text) {
    if (text.empty() || text.size() > kMaxLength) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        // An earlier version's name may start with a '.'.
        if (IsKept(text[i], false)) {
            continue;
        }
        const int byte = EscapedByte(text, i);
        if (byte < 0 || IsKept(static_cast<char>(byte), i == 0)) {
            return false;
        }
        i += kEscapeLength - 1;
    }
    return true;
}

bool StoreName::Fits(const std::string& name) {
    return Encode(name).size() <= kMaxLength;
}
