#include "box/SettingRules.h"

#include <algorithm>

namespace setting_rules {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string PortRule() {
    return "a number from " + std::to_string(kMinPort) + " to " + std::to_string(kMaxPort);
}

std::string PasswordRule() {
    return "1 to " + std::to_string(kMaxPasswordLength) + " digits";
}

bool ReadPort(std::string_view text, int* port) {
    if (!AllDigits(text)) {
        return false;
    }
    // Held just past the largest port, so no count of digits can overflow it.
    long long value = 0;
    for (const char c : text) {
        value = std::min<long long>(value * 10 + (c - '0'), kMaxPort + 1LL);
    }
    if (value < kMinPort || value > kMaxPort) {
        return false;
    }
    *port = static_cast<int>(value);
    return true;
}

bool IsPassword(std::string_view text) {
    return AllDigits(text) && text.size() <= kMaxPasswordLength;
}

}  // namespace setting_rules
