// Names and texts from outside as they are shown on a terminal or written
// into a line-based file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextEscape.h"

namespace {

struct Escape {
    std::string text;
    std::string shown;
};

// The names to escape; velqo-cli's list shows a box's names so
// (CliHostileInputTest).
const Escape kNames[] = {
    {"plain.txt", "plain.txt"},
    {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},  // sets a terminal's title
    {"a\nb", "a\\nb"},                           // would split a line
    {"tab\there\r", "tab\\there\\r"},
    {"back\\slash", "back\\\\slash"},  // so that "a\\nb" and "a\nb" differ
    {"del\x7f", "del\\x7f"},
    {std::string("nul\0in", 6), "nul\\x00in"},
    {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},  // UTF-8 as written
    {"\x80\xff", "\x80\xff"},
    {"\x1f \x20", "\\x1f  "},
    // C1 controls as UTF-8: CSI, OSC, ST; the first and the last of them.
    {"\xc2\x9b"
     "2J",
     "\\u009b2J"},
    {"\xc2\x9d"
     "0;owned\xc2\x9c",
     "\\u009d0;owned\\u009c"},
    {"\xc2\x80\xc2\x9f", "\\u0080\\u009f"},
    {"\xc2\xa0\xc3\x80", "\xc2\xa0\xc3\x80"},  // NBSP, A grave: no controls
    // Bidirectional controls: an "exe.txt" that is a "txt.exe" is seen so.
    {"\xe2\x80\xaetxt.exe", "\\u202etxt.exe"},
    {"\xe2\x80\x8e\xe2\x80\x8f", "\\u200e\\u200f"},
    {"\xe2\x80\xaa\xe2\x80\xab\xe2\x80\xac\xe2\x80\xad", "\\u202a\\u202b\\u202c\\u202d"},
    {"\xe2\x81\xa6\xe2\x81\xa7\xe2\x81\xa8\xe2\x81\xa9", "\\u2066\\u2067\\u2068\\u2069"},
    {"\xd8\x9c", "\\u061c"},
    {"\xe2\x80\x8d\xe2\x80\xaf\xe2\x81\xaa", "\xe2\x80\x8d\xe2\x80\xaf\xe2\x81\xaa"},  // neighbours
    {"\xc2", "\xc2"},  // a lead byte at the end stands for itself
    {"\xe2\x80", "\xe2\x80"},
};

TEST(TextEscape, ControlCharactersAndTheBackslashAreEscaped) {
    for (const Escape& row : kNames) {
        EXPECT_EQ(EscapeControls(row.text), row.shown) << row.shown;
    }
}

TEST(TextEscape, QuotesAreCutToALineWithTheAmountCut) {
    const struct {
        std::string text;
        size_t limit;
        std::string shown;
    } rows[] = {
        {std::string(200, 'a'), 200, std::string(200, 'a')},
        {std::string(5000000, 'a'), 200, std::string(200, 'a') + "... [4999800 more bytes]"},
        // An escape is not split: the ESC that does not fit goes whole.
        {"abc\x1b", 6, "abc... [1 more bytes]"},
        // Nor is a UTF-8 character: the cut goes back to its start.
        {"ab\xe2\x82\xac", 4, "ab... [3 more bytes]"},
        {"a\n", 3, "a\\n"},
        // An escaped character goes whole, and is not taken for a cut one.
        {"ab\xe2\x80\xae", 7, "ab... [3 more bytes]"},
        {"\xe2\x80\xae\x80", 6, "\\u202e... [1 more bytes]"},
        {"", 200, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(QuoteForMessage(row.text, row.limit), row.shown) << row.shown.substr(0, 40);
    }
    EXPECT_EQ(QuoteForMessage(std::string(300, '\x1b')).size(),
              200 + std::string("... [250 more bytes]").size());
}

TEST(TextEscape, NamesForAMessageAreEachQuotedAndJoined) {
    const struct {
        std::vector<std::string> names;
        std::string shown;
    } rows[] = {
        {{}, ""},
        {{"a.txt"}, "a.txt"},
        {{"a.txt", "b\\x"}, "a.txt, b\\\\x"},  // a backslash, not a control
        {{"a\nb", "\x1b]0;t"}, "a\\nb, \\x1b]0;t"},
        {{std::string(300, 'n'), "b"}, std::string(200, 'n') + "... [100 more bytes], b"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(QuotedList(row.names), row.shown) << row.shown;
    }
}

}  // namespace
