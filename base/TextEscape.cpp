#include "base/TextEscape.h"

namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr int kMaxUtf8Continuations = 3;

// Characters that are no control byte but act like one, as UTF-8: the C1
// controls U+0080..U+009F (U+009B is a CSI like ESC [, U+009D an OSC) and
// Unicode's bidirectional controls, which make a terminal, a log viewer or a
// list show text in another order than it is (an "exe.txt" that is a
// "txt.exe"). Each is a range of the last byte after a fixed lead.
struct Utf8Range {
    std::string_view lead;
    unsigned char first;
    unsigned char last;
    unsigned codeOfFirst;
};
constexpr Utf8Range kActingCharacters[] = {
    {"\xc2", 0x80, 0x9f, 0x0080},      // C1 controls
    {"\xd8", 0x9c, 0x9c, 0x061c},      // ARABIC LETTER MARK
    {"\xe2\x80", 0x8e, 0x8f, 0x200e},  // LRM, RLM
    {"\xe2\x80", 0xaa, 0xae, 0x202a},  // LRE, RLE, PDF, LRO, RLO
    {"\xe2\x81", 0xa6, 0xa9, 0x2066},  // LRI, RLI, FSI, PDI
};
constexpr int kCodeDigits = 4;

// The text at `at` as shown: one escaped character or one byte as it is.
// `*used`: the input bytes it stands for.
std::string EscapedAt(std::string_view text, size_t at, size_t* used) {
    const auto c = static_cast<unsigned char>(text[at]);
    *used = 1;
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
    const std::string_view rest = text.substr(at);
    for (const Utf8Range& range : kActingCharacters) {
        if (rest.size() > range.lead.size() && rest.starts_with(range.lead)) {
            const auto last = static_cast<unsigned char>(rest[range.lead.size()]);
            if (last >= range.first && last <= range.last) {
                static constexpr char kDigits[] = "0123456789abcdef";
                const unsigned code = range.codeOfFirst + (last - range.first);
                std::string shown = "\\u";
                for (int shift = 4 * (kCodeDigits - 1); shift >= 0; shift -= 4) {
                    shown += kDigits[(code >> shift) & 0xF];
                }
                *used = range.lead.size() + 1;
                return shown;
            }
        }
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
    for (size_t at = 0; at < text.size();) {
        size_t used = 0;
        out += EscapedAt(text, at, &used);
        at += used;
    }
    return out;
}

std::string EscapeLogText(std::string_view text) {
    const size_t first = text.find_first_not_of('\n');
    if (first == std::string_view::npos) {
        return std::string(text);
    }
    const size_t end = text.find_last_not_of('\n') + 1;
    return std::string(text.substr(0, first)) + EscapeControls(text.substr(first, end - first)) +
           std::string(text.substr(end));
}

std::string QuoteForMessage(std::string_view text, size_t limit) {
    std::string out;
    size_t used = 0;
    int rawHigh = 0;  // bytes from 0x80 up at the end of `out`, as they are
    while (used < text.size()) {
        size_t length = 0;
        const std::string piece = EscapedAt(text, used, &length);
        if (out.size() + piece.size() > limit) {
            break;
        }
        out += piece;
        used += length;
        const bool raw = length == 1 && static_cast<unsigned char>(piece[0]) >= 0x80;
        rawHigh = raw ? rawHigh + 1 : 0;
    }
    if (used == text.size()) {
        return out;
    }
    // Back to the start of a UTF-8 character cut in two (at most three bytes
    // back), over the bytes that stand for themselves in `out`.
    for (int back = 0; back < kMaxUtf8Continuations && back < rawHigh &&
                       IsUtf8Continuation(static_cast<unsigned char>(text[used]));
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

std::string QuotedList(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + QuoteForMessage(name);
    }
    return text;
}
