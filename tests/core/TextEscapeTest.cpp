// Names and texts from outside as they are shown on a terminal or written
// into a line-based file.
#include <gtest/gtest.h>

#include <string>

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
        {"", 200, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(QuoteForMessage(row.text, row.limit), row.shown) << row.shown.substr(0, 40);
    }
    EXPECT_EQ(QuoteForMessage(std::string(300, '\x1b')).size(),
              200 + std::string("... [250 more bytes]").size());
}

}  // namespace
