#pragma once
// Letter case of ASCII text, the same on every platform and in every locale:
// file names compared as Windows does, hex digits read in either case.
#include <string>

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string text) {
    for (char& c : text) {
        c = AsciiLower(c);
    }
    return text;
}

inline bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return AsciiLower(a) == AsciiLower(b);
}
