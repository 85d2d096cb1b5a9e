// Why a file of a diff shows no lines, worded once: a changed file too
// different or not text with its sizes and first difference; none when its
// lines are shown.
#include <gtest/gtest.h>

#include "history/DiffWords.h"

TEST(DiffWordsTest, AChangedFileWithoutLinesSaysWhy) {
    const auto changed = [](bool text, bool tooDifferent) {
        return FileDifference{"f", DiffState::kChanged, text, "", tooDifferent, 10, 12, 3, ""};
    };
    EXPECT_EQ(DiffWords::NoLines(changed(true, false)), "");
    EXPECT_EQ(DiffWords::NoLines(changed(true, true)),
              "too different to show line by line: 10 -> 12 bytes, first difference at byte 3");
    EXPECT_EQ(DiffWords::NoLines(changed(false, false)),
              "binary: 10 -> 12 bytes, first difference at byte 3");
    EXPECT_EQ(DiffWords::NoLines(FileDifference{}), "same");
    EXPECT_EQ(DiffWords::NoLines({"f", DiffState::kFailed, false, "", false, -1, -1, -1, "gone"}),
              "gone");
}
