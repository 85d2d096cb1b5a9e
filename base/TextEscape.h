#pragma once
// Text from outside (a box's file names and refusal texts, names in files,
// arguments) shown on a terminal or written into a line-based file: control
// characters must not reach it as they are. An escape sequence in a name
// would otherwise drive the terminal (set its title, clear it), and a line
// feed would split a one-line-per-name format.
//
// Control characters (bytes below 0x20, and 0x7F) become C-style escapes:
// \t, \n and \r by name, every other one as \xHH (ESC is \x1b). The
// backslash itself becomes \\, so that an escaped text can be read back
// without doubt: a name holding a backslash and an 'n' is not shown like a
// name holding a line feed. The characters that act like controls when
// written as UTF-8 become \uHHHH: the C1 controls U+0080..U+009F and the
// bidirectional controls U+061C, U+200E, U+200F, U+202A..U+202E and
// U+2066..U+2069. Other bytes from 0x80 up are left as they are, so UTF-8
// names read as written.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text with its control characters and backslashes escaped.
std::string EscapeControls(std::string_view text);

// A log text: the line feeds that start and end it are its own line
// structure; everything between, names and box texts among it, escaped.
std::string EscapeLogText(std::string_view text);

// For a message that quotes input: escaped, and cut when the escaped text
// would be longer than `limit` bytes, never inside a UTF-8 character; a cut
// text ends with "... [N more bytes]", N counting the input bytes not shown.
constexpr size_t kQuoteLimit = 200;
std::string QuoteForMessage(std::string_view text, size_t limit = kQuoteLimit);
// Names for a message: each quoted so, joined by ", ".
std::string QuotedList(const std::vector<std::string>& names);

// Every byte of `bytes` as two lower-case hex digits: the exact bytes of a
// name that is not shown as it is.
std::string HexOf(std::string_view bytes);
