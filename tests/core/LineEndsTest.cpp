#include <gtest/gtest.h>

#include <string>

#include "base/LineEnds.h"

namespace {

// The file's bytes, the panel's text shown from them (lines joined by CR LF,
// the last one ended) and what a save writes back.
std::string SavedAfterLoad(const std::string& file, const std::string& shown) {
    LineEnds ends;
    // In two pieces split inside the first CR LF there is, as reads may.
    const size_t cut = file.find("\r\n") != std::string::npos ? file.find("\r\n") + 1 : 0;
    ends.Count(std::string_view(file).substr(0, cut));
    ends.Count(std::string_view(file).substr(cut));
    return ends.Restore(shown);
}

}  // namespace

TEST(LineEnds, SaveWritesTheEndsTheFileCameWith) {
    const struct {
        const char* label;
        std::string file;
        std::string shown;  // as edited in the panel
        std::string saved;
    } cases[] = {
        {"LF", "a\nb\n", "a\r\nB\r\n", "a\nB\n"},
        {"CR LF", "a\r\nb\r\n", "a\r\nB\r\n", "a\r\nB\r\n"},
        {"LF, no end at the end", "a\nb", "a\r\nB\r\n", "a\nB"},
        {"CR LF, no end at the end", "a\r\nb", "a\r\nb\r\nc\r\n", "a\r\nb\r\nc"},
        {"one line, no end", "x", "y\r\n", "y"},
        {"mostly LF", "a\r\nb\nc\n", "a\r\nb\r\nc\r\n", "a\nb\nc\n"},
        {"mostly CR LF", "a\r\nb\r\nc\n", "a\r\nb\r\nc\r\n", "a\r\nb\r\nc\r\n"},
        {"a tie: the first line's end", "a\nb\r\n", "a\r\nb\r\n", "a\nb\n"},
        {"a tie, CR LF first", "a\r\nb\n", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"a lone CR stays in its line", "a\rb\n", "a\rb\r\n", "a\rb\n"},
        {"a CR at the file's end ends it", "x\r", "x\r\n", "x\r\n"},
        {"empty file: CR LF", "", "new\r\n", "new\r\n"},
        {"a typed last line gets the end", "a\n", "a\r\nb", "a\nb\n"},
        {"all text removed", "a\nb\n", "", ""},
        {"empty lines kept", "a\n\n\nb\n", "a\r\n\r\n\r\nb\r\n", "a\n\n\nb\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SavedAfterLoad(c.file, c.shown), c.saved);
    }
}

TEST(LineEnds, TextNotLoadedFromAFileIsWrittenWithCrLfEnds) {
    const LineEnds none;
    EXPECT_EQ(none.LineStyle(), LineEnds::Style::kCrLf);
    EXPECT_EQ(none.Restore("alpha\r\n\r\nbeta"), "alpha\r\n\r\nbeta\r\n");
}
