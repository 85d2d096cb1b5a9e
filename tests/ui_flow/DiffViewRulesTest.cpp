// What the backups dialog can show as a diff, and how a diff's lines are told apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/flow/DiffViewRules.h"

TEST(DiffViewRulesTest, AChangedTextFileIsSetBesideTheBoxOrTheBackupBefore) {
    constexpr auto kNone = DiffSource::kNone;
    constexpr auto kBox = DiffSource::kBoxCopy;
    constexpr auto kPrevious = DiffSource::kPreviousBackup;
    struct Case {
        const char* what;
        DiffRowFacts row;  // in backup, text, compared differs, copy kept, previous holds, changed
        DiffSource source;
    } cases[] = {
        {"compared different, copy kept", {true, true, true, true, false, false}, kBox},
        {"the box's copy wins over the backup before", {true, true, true, true, true, true}, kBox},
        {"compared different, copy too large to keep",
         {true, true, true, false, true, true},
         kNone},
        {"changed since the backup before", {true, true, false, false, true, true}, kPrevious},
        {"same as in the backup before", {true, true, false, false, true, false}, kNone},
        {"not in the backup before", {true, true, false, false, false, true}, kNone},
        {"a binary file", {true, false, true, true, true, true}, kNone},
        {"only on the box", {false, true, false, false, true, true}, kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DiffViewRules::SourceFor(c.row), c.source) << c.what;
    }
}

TEST(DiffViewRulesTest, EachLineOfADiffHasItsKind) {
    const std::string unified =
        "--- old/config.txt\n"
        "+++ box/config.txt\n"
        "@@ -1,3 +1,3 @@\n"
        " keep\n"
        "--- was a line of dashes\n"
        "+++ now of pluses\r\n"
        "-b=1\r\n"
        "+b=2\n"
        "\\ No newline at end of file\n"
        "\n";
    struct Line {
        DiffLineKind kind;
        const char* text;
    } expected[] = {
        {DiffLineKind::kHeader, "--- old/config.txt"},
        {DiffLineKind::kHeader, "+++ box/config.txt"},
        {DiffLineKind::kHunk, "@@ -1,3 +1,3 @@"},
        {DiffLineKind::kContext, " keep"},
        {DiffLineKind::kRemoved, "--- was a line of dashes"},
        {DiffLineKind::kAdded, "+++ now of pluses<CR>"},
        {DiffLineKind::kRemoved, "-b=1<CR>"},
        {DiffLineKind::kAdded, "+b=2"},
        {DiffLineKind::kNote, "\\ No newline at end of file"},
        {DiffLineKind::kContext, ""},
    };
    const std::vector<DiffLine> lines = DiffViewRules::Lines(unified);
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].kind, expected[i].kind) << i;
        EXPECT_EQ(lines[i].text, expected[i].text) << i;
    }
    EXPECT_TRUE(DiffViewRules::Lines("").empty());
}
