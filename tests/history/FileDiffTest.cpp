// A file of two backups set side by side: its state, and for a changed text
// file the unified diff as `diff -u` writes it.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "history/FileDiff.h"
#include "history/LineMatcher.h"

namespace {

using Bytes = std::optional<std::string_view>;
constexpr bool kText = true;
constexpr bool kBinary = false;
const Bytes kMissing = std::nullopt;

}  // namespace

TEST(FileDiffTest, EachKindOfChangeGivesItsStateAndDiff) {
    const std::string twelve = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n";
    const std::string twelveEdited =
        "1\n2\nthree\n4\n5\n6\n7\n8\n9\n10\n11\neleven and a half\n12\n";
    struct Case {
        const char* what;
        bool textType;
        Bytes before;
        Bytes after;
        DiffState state;
        const char* unified;
    } cases[] = {
        {"same text", kText, "a\nb\n", "a\nb\n", DiffState::kSame, ""},
        {"same empty", kText, "", "", DiffState::kSame, ""},
        {"added", kText, kMissing, "a\n", DiffState::kAdded, ""},
        {"removed", kText, "a\n", kMissing, DiffState::kRemoved, ""},
        {"one line changed", kText, "a\nb\nc\n", "a\nB\nc\n", DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n"},
        {"from empty", kText, "", "a\nb\n", DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -0,0 +1,2 @@\n+a\n+b\n"},
        {"to empty", kText, "a\n", "", DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -1 +0,0 @@\n-a\n"},
        {"final newline added", kText, "a\nb", "a\nb\n", DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
        {"line added after one without newline", kText, "a", "a\nb", DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -1 +1,2 @@\n-a\n\\ No newline at end of file\n+a\n+b\n"
         "\\ No newline at end of file\n"},
        {"CR LF to LF", kText, "a\r\nb\r\n", "a\r\nb\n", DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -1,2 +1,2 @@\n a\r\n-b\r\n+b\n"},
        {"two hunks apart, context of three", kText, twelve, twelveEdited, DiffState::kChanged,
         "--- old/f\n+++ new/f\n@@ -1,6 +1,6 @@\n 1\n 2\n-3\n+three\n 4\n 5\n 6\n"
         "@@ -9,4 +9,5 @@\n 9\n 10\n 11\n+eleven and a half\n 12\n"},
        {"binary", kBinary, std::string_view("\x01\x02\x03\x04", 4),
         std::string_view("\x01\x02\x09", 3), DiffState::kChanged, ""},
        {"text type holding NUL", kText, std::string_view("a\0b", 3), std::string_view("a\0c", 3),
         DiffState::kChanged, ""},
        {"same binary", kBinary, "xyz", "xyz", DiffState::kSame, ""},
    };
    for (const Case& c : cases) {
        const FileDifference file =
            FileDiff::Compare("f", c.textType, c.before, c.after, "old", "new");
        EXPECT_EQ(FileDiff::StateWord(file.state), std::string(FileDiff::StateWord(c.state)))
            << c.what;
        EXPECT_EQ(file.unified, c.unified) << c.what;
        EXPECT_EQ(file.oldSize, c.before ? static_cast<int64_t>(c.before->size()) : -1) << c.what;
        EXPECT_EQ(file.newSize, c.after ? static_cast<int64_t>(c.after->size()) : -1) << c.what;
    }
}

TEST(FileDiffTest, ChangedBinaryGivesTheFirstDifferingOffsetAndNoDiff) {
    struct Case {
        std::string_view before;
        std::string_view after;
        int64_t offset;
    } cases[] = {
        {std::string_view("\x01\x02\x03\x04", 4), std::string_view("\x01\x02\x09\x04", 4), 2},
        {"abc", "abcd", 3},  // one is the other's start: where the shorter ends
        {"abcd", "", 0},
    };
    for (const Case& c : cases) {
        const FileDifference file =
            FileDiff::Compare("firmware.bin", kBinary, c.before, c.after, "old", "new");
        EXPECT_EQ(file.state, DiffState::kChanged);
        EXPECT_FALSE(file.text);
        EXPECT_EQ(file.firstDifference, c.offset);
        EXPECT_EQ(file.unified, "");
    }
}

TEST(FileDiffTest, LinesOnlyOneSideHasAndMovedBlocksGiveAMinimalValidDiff) {
    // Every old line deleted and every new one added, each once.
    const FileDifference rewritten =
        FileDiff::Compare("f", kText, "a\nb\nc\n", "x\ny\n", "old", "new");
    EXPECT_EQ(rewritten.unified, "--- old/f\n+++ new/f\n@@ -1,3 +1,2 @@\n-a\n-b\n-c\n+x\n+y\n");
    // A line moved from the end to the start: one removal, one addition.
    const FileDifference moved =
        FileDiff::Compare("f", kText, "a\nb\nc\nd\n", "d\na\nb\nc\n", "old", "new");
    EXPECT_EQ(moved.unified, "--- old/f\n+++ new/f\n@@ -1,4 +1,4 @@\n+d\n a\n b\n c\n-d\n");
}

TEST(FileDiffTest, TextsTooDifferentForALineDiffGiveTheFirstDifferenceAndNamesOnlyNoDiff) {
    // Lines of two kinds, "a" ones removed at spread places: as many
    // removals as the line diff may spend, and one more.
    const auto without = [](size_t removed) {
        std::string text;
        for (size_t i = 0; i < 4 * LineMatcher::kMaxEditDistance; ++i) {
            text += i % 3 == 1 && i / 3 < removed ? "b\n" : "a\nb\n";
        }
        return text;
    };
    const std::string old = without(0);
    const struct {
        size_t removed;
        bool tooDifferent;
    } cases[] = {{LineMatcher::kMaxEditDistance, false}, {LineMatcher::kMaxEditDistance + 1, true}};
    for (const auto& c : cases) {
        const std::string changed = without(c.removed);
        const FileDifference file = FileDiff::Compare("f", kText, old, changed, "old", "new");
        EXPECT_EQ(file.state, DiffState::kChanged);
        EXPECT_TRUE(file.text);
        EXPECT_EQ(file.tooDifferent, c.tooDifferent) << c.removed;
        EXPECT_EQ(file.unified.empty(), c.tooDifferent) << c.removed;
        EXPECT_EQ(file.firstDifference, c.tooDifferent ? 4 : -1) << c.removed;
    }
    const FileDifference namesOnly =
        FileDiff::Compare("f", kText, old, without(1), "old", "new", false);
    EXPECT_EQ(namesOnly.state, DiffState::kChanged);
    EXPECT_FALSE(namesOnly.tooDifferent);
    EXPECT_EQ(namesOnly.unified, "");
}
