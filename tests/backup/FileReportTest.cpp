// The one table of a file's result words: every result has its own words,
// and what counts as a failure is decided by the result, not by a word.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "backup/FileReport.h"

TEST(FileReportTest, EachResultHasWordsOfItsOwn) {
    struct Case {
        FileResult result;
        Verified verified;
        const char* json;
        const char* shown;
        bool failure;
    } cases[] = {
        {FileResult::kSaved, Verified::kUnknown, "saved", "saved", false},
        {FileResult::kFailed, Verified::kUnknown, "failed", "failed", true},
        {FileResult::kSkipped, Verified::kUnknown, "skipped", "missing on the box", false},
        {FileResult::kSent, Verified::kUnknown, "sent", "sent", false},
        {FileResult::kSent, Verified::kYes, "sent", "verified", false},
        {FileResult::kSent, Verified::kNo, "sent", "failed", true},
        {FileResult::kWouldSend, Verified::kUnknown, "would-send", "would send", false},
        {FileResult::kUnchanged, Verified::kUnknown, "unchanged", "unchanged", false},
        {FileResult::kSame, Verified::kUnknown, "same", "same", false},
        {FileResult::kDiffers, Verified::kUnknown, "differs", "differs", false},
        {FileResult::kMissingOnBox, Verified::kUnknown, "missing-on-box", "missing on the box",
         false},
        {FileResult::kOnlyOnBox, Verified::kUnknown, "only-on-box", "only on the box", false},
        {FileResult::kRefused, Verified::kUnknown, "refused", "refused", true},
    };
    std::set<std::string> words;
    for (const Case& c : cases) {
        FileReport file;
        file.result = c.result;
        file.verified = c.verified;
        SCOPED_TRACE(c.json);
        EXPECT_EQ(WordsOf(c.result).result, c.result);
        EXPECT_STREQ(FileResultName(c.result), c.json);
        EXPECT_STREQ(ShownWord(file), c.shown);
        EXPECT_EQ(IsFailure(file), c.failure);
        words.insert(c.json);
    }
    // One word per result: no two results share one.
    EXPECT_EQ(words.size(), static_cast<size_t>(FileResult::kRefused) + 1);
}
