#pragma once
// Numbers as the command lines take them: decimal digits only, so that no
// reader takes "0x10" for 16 or "010" for 8 where another reads 10.
#include <string>

// Reads `text` as a whole decimal number from `low` to `high` into *value:
// digits only, a '-' first only when `low` is negative; no sign otherwise,
// no blanks, no other base. False (and *value unchanged) for anything else,
// numbers too large for a long long included.
bool ReadDecimal(const std::string& text, long long low, long long high, long long* value);
