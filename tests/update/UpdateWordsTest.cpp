// The update's one table of words: every result worded, named once, and its
// details put in.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "update/UpdateWords.h"

namespace {

TEST(UpdateWords, EveryResultHasItsOwnNameAndAFilledSentence) {
    std::set<std::string> names;
    for (int r = 0; r <= static_cast<int>(StepResult::kStopped); ++r) {
        const auto result = static_cast<StepResult>(r);
        const ResultWords& words = WordsOf(result);
        EXPECT_EQ(words.result, result) << r;
        EXPECT_TRUE(names.insert(words.json).second) << words.json;
        StepOutcome outcome{UpdateStep::kSend, result, "update.pkg", "/store/B-20261209-080000"};
        outcome.names = {"config.txt"};
        const std::string text = OutcomeText(outcome);
        EXPECT_EQ(text.find('{'), std::string::npos) << text;
    }
}

TEST(UpdateWords, DetailsGoIntoTheirPlaces) {
    const struct {
        StepOutcome outcome;
        std::string text;
    } cases[] = {
        {{UpdateStep::kPutBack,
          StepResult::kNotKept,
          "",
          "/abs/store/B-20261209-080000",
          "",
          {"config.txt", "my list.bin"}},
         "the update changed config.txt, my list.bin; put them back with: velqo-cli restore "
         "--changed-only --verify backup/B-20261209-080000 config.txt 'my list.bin'"},
        {{UpdateStep::kSend, StepResult::kBoxFailed, "update.pkg", "/abs/store/B-1", "Bad\x1b"},
         "the box rejected the update: \"Bad\\x1b\"; it said so before anything was changed, the "
         "backup is in backup/B-1: check the firmware file and try again"},
        {{UpdateStep::kWaitForBox, StepResult::kStopped, "", "/abs/store/B-1"},
         "stopped at the step wait for the box: the box holds the update and may be "
         "restarting; its settings may have been reset: compare it with velqo-cli compare "
         "backup/B-1"},
        {{UpdateStep::kWaitForBox,
          StepResult::kNeverBack,
          "",
          "",
          "the last try: refused",
          {},
          300},
         "the box did not come back within 300 s (the last try: refused); it may still be "
         "updating: once it answers, compare it with velqo-cli compare (none)"},
    };
    // The folder is shown as the system writes paths.
    const std::string separator = std::filesystem::path("/").make_preferred().string();
    for (const auto& c : cases) {
        std::string expected = c.text;
        for (size_t at = expected.find("backup/"); at != std::string::npos;
             at = expected.find("backup/", at + 1)) {
            expected.replace(at + 6, 1, separator);
        }
        EXPECT_EQ(OutcomeText(c.outcome, "backup"), expected);
    }
    EXPECT_EQ(WaitingText(40, 300), "waiting for the box: 40 s of 300");
    EXPECT_TRUE(IsFailure(StepResult::kStopped));
    EXPECT_FALSE(IsFailure(StepResult::kNotKept));
}

}  // namespace
