#include "tests/support/HostileText.h"

namespace {

constexpr const char* kMarker = "pwned";
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;

// Whether a C1 control or a bidirectional control starts at `at`, as UTF-8.
bool ActsAsControl(const std::string& text, size_t at) {
    const auto byte = [&](size_t k) {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0;
    };
    if (byte(0) == 0xC2) {
        return byte(1) >= 0x80 && byte(1) <= 0x9F;
    }
    if (byte(0) == 0xD8) {
        return byte(1) == 0x9C;
    }
    if (byte(0) == 0xE2 && byte(1) == 0x80) {
        return byte(2) == 0x8E || byte(2) == 0x8F || (byte(2) >= 0xAA && byte(2) <= 0xAE);
    }
    return byte(0) == 0xE2 && byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace

const std::vector<HostileText>& HostileTexts() {
    static const std::vector<HostileText> texts = {
        {"clear screen, set title", "\x1b[2J\x1b]0;pwned\x07", "\\x1b[2J\\x1b]0;pwned\\x07"},
        {"forged line", "ok\nvelqo: pwned", "ok\\nvelqo: pwned"},
        {"wipe the line", "\r\x1b[Kpwned\x7f", "\\r\\x1b[Kpwned\\x7f"},
        {"backslash and tab", "a\\x1b\tpwned", "a\\\\x1b\\tpwned"},
        {"C1 CSI and OSC",
         "\xc2\x9b"
         "2J\xc2\x9dpwned",
         "\\u009b2J\\u009dpwned"},
        {"right-to-left override", "\xe2\x80\xaepwned\xe2\x81\xa6", "\\u202epwned\\u2066"},
    };
    return texts;
}

std::string UnsafeShowing(const std::string& printed, const HostileText& hostile,
                          size_t longestLine) {
    if (printed.find(hostile.shown) == std::string::npos) {
        return "the text is not shown as " + hostile.shown;
    }
    if (Count(printed, kMarker) != Count(printed, hostile.shown)) {
        return "the text is shown unescaped too";
    }
    size_t lineStart = 0;
    for (size_t i = 0; i < printed.size(); ++i) {
        const auto c = static_cast<unsigned char>(printed[i]);
        if (c == '\n') {
            lineStart = i + 1;
        } else if (c == '\t') {
            continue;  // between a line's fields
        } else if (c < kFirstPrintable || c == kDelete) {
            return "a raw control byte " + std::to_string(c) + " at " + std::to_string(i);
        } else if (ActsAsControl(printed, i)) {
            return "a raw C1 or bidirectional control at " + std::to_string(i);
        } else if (i - lineStart >= longestLine) {
            return "a line longer than " + std::to_string(longestLine) + " bytes";
        }
    }
    return "";
}
