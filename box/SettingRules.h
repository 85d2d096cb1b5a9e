#pragma once
// What a port and a password may be, the same wherever they are given: the
// settings file, the command line and the window's password field.
#include <cstddef>
#include <string>
#include <string_view>

#include "box/WireFormat.h"

namespace setting_rules {

constexpr int kMinPort = 1;
constexpr int kMaxPort = 65535;
// The login carries this many password characters.
constexpr size_t kMaxPasswordLength = wire::kPasswordSize;

// The rules as a message words them: "a number from 1 to 65535", "1 to 4 digits".
std::string PortRule();
std::string PasswordRule();

// The port that `text` names: decimal digits only (leading zeros allowed), the
// number from kMinPort to kMaxPort. False, leaving *port alone, otherwise.
bool ReadPort(std::string_view text, int* port);
// 1 to kMaxPasswordLength decimal digits.
bool IsPassword(std::string_view text);

}  // namespace setting_rules
