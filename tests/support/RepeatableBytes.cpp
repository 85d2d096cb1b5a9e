#include "tests/support/RepeatableBytes.h"

std::string RepeatableBytes(size_t size, uint32_t seed) {
    // A linear congruential generator; its high bits take every byte value.
    constexpr uint32_t kMultiplier = 1103515245u;
    constexpr uint32_t kIncrement = 12345u;
    constexpr int kHighBits = 16;
    std::string bytes(size, '\0');
    uint32_t x = seed;
    for (char& b : bytes) {
        x = x * kMultiplier + kIncrement;
        b = static_cast<char>(x >> kHighBits);
    }
    return bytes;
}
