#include "box/SettingRules.h"

#include "base/DecimalNumber.h"

namespace setting_rules {

std::string PortRule() {
    return "a number from " + std::to_string(kMinPort) + " to " + std::to_string(kMaxPort);
}

std::string PasswordRule() {
    return "1 to " + std::to_string(kMaxPasswordLength) + " digits";
}

bool ReadPort(std::string_view text, int* port) {
    long long value = 0;
    if (!ReadDecimal(std::string(text), kMinPort, kMaxPort, &value)) {
        return false;
    }
    *port = static_cast<int>(value);
    return true;
}

bool IsPassword(std::string_view text) {
    return !text.empty() && text.size() <= kMaxPasswordLength &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace setting_rules
