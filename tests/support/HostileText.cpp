#include "tests/support/HostileText.h"

namespace {

constexpr const char* kMarker = "pwned";
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;

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
        } else if (i - lineStart >= longestLine) {
            return "a line longer than " + std::to_string(longestLine) + " bytes";
        }
    }
    return "";
}
