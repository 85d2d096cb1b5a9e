#pragma once
// The program's version, in one place for the version resource, the About box,
// the login (the box checks the tool's version) and the log. Plain macros, as the
// resource compiler reads this file too.
//
// Major in one hex digit, minor in three; the text reads MAJOR.MINOR.
#define VELQO_VERSION_MAJOR 0x1
#define VELQO_VERSION_MINOR 0x001
#define VELQO_VERSION_TEXT "1.001"
// LICENSE's copyright line, word for word (the build checks it).
#define VELQO_COPYRIGHT_TEXT "Copyright (c) 2026 the VELQO_LAN_MM authors"

#ifndef RC_INVOKED
namespace version {

constexpr unsigned kMajor = VELQO_VERSION_MAJOR;
constexpr unsigned kMinor = VELQO_VERSION_MINOR;
constexpr const char* kText = VELQO_VERSION_TEXT;
constexpr const char* kCopyright = VELQO_COPYRIGHT_TEXT;

constexpr bool TextReadsMajorDotMinor() {
    constexpr char kHex[] = "0123456789abcdef";
    const char expected[] = {kHex[kMajor & 0xF],        '.',
                             kHex[(kMinor >> 8) & 0xF], kHex[(kMinor >> 4) & 0xF],
                             kHex[kMinor & 0xF],        '\0'};
    for (int i = 0; i < 6; ++i) {
        if (kText[i] != expected[i]) {
            return false;
        }
    }
    return true;
}

static_assert(kMajor <= 0xF && kMinor <= 0xFFF, "the version fits its 16-bit wire field");
static_assert(TextReadsMajorDotMinor(), "VELQO_VERSION_TEXT must read MAJOR.MINOR");

}  // namespace version
#endif
