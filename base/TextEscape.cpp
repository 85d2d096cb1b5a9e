#include "base/TextEscape.h"

namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr int kMaxUtf8Continuations = 3;

// One input byte as shown.
std::string EscapedByte(unsigned char c) {
    switch (c) {
        case '\t':
            return "\\t";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\\':
            return "\\\\";
        default:
            break;
    }
    if (c < kFirstPrintable || c == kDelete) {
        const char byte = static_cast<char>(c);
        return "\\x" + HexOf(std::string_view(&byte, 1));
    }
    return std::string(1, static_cast<char>(c));
}

bool IsUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += EscapedByte(static_cast<unsigned char>(c));
    }
    return out;
}

std::string QuoteForMessage(std::string_view text, size_t limit) {
    std::string out;
    size_t used = 0;
    for (; used < text.size(); ++used) {
        const std::string piece = EscapedByte(static_cast<unsigned char>(text[used]));
        if (out.size() + piece.size() > limit) {
            break;
        }
        out += piece;
    }
    if (used == text.size()) {
        return out;
    }
    // Back to the start of a UTF-8 character cut in two (at most three bytes
    // back); bytes from 0x80 up stand for themselves in `out`.
    for (int back = 0; back < kMaxUtf8Continuations && used > 0 &&
                       IsUtf8Continuation(static_cast<unsigned char>(text[used])) &&
                       static_cast<unsigned char>(text[used - 1]) >= 0x80;
         ++back) {
        --used;
        out.pop_back();
    }
    return out + "... [" + std::to_string(text.size() - used) + " more bytes]";
}

std::string HexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}
