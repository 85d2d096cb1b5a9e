#include "base/DecimalNumber.h"

#include <limits>

bool ReadDecimal(const std::string& text, long long low, long long high, long long* value) {
    const bool negative = low < 0 && !text.empty() && text[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (text.size() == first) {
        return false;
    }
    // Accumulated as a negative number, which has room for the lowest long long.
    constexpr long long kLowest = std::numeric_limits<long long>::min();
    long long v = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        const int digit = text[i] - '0';
        if (v < (kLowest + digit) / 10) {
            return false;
        }
        v = v * 10 - digit;
    }
    if (!negative) {
        if (v == kLowest) {
            return false;
        }
        v = -v;
    }
    if (v < low || v > high) {
        return false;
    }
    *value = v;
    return true;
}
