// A commit into the history, worded once: each status with its detail, and
// which of them leave the history holding the backup.
#include <gtest/gtest.h>

#include "history/GitWords.h"

TEST(GitWordsTest, EachStatusIsSaidWithItsDetail) {
    using Status = GitOutcome::Status;
    const struct {
        GitOutcome outcome;
        const char* text;
        bool succeeded;
    } cases[] = {
        {{Status::kCommitted, "abc1234", ""}, "committed to 'h' as abc1234", true},
        {{Status::kUnchanged, "", ""}, "'h' already holds these files: no commit", true},
        {{Status::kNoGit, "", "git is not installed"},
         "the backup is complete but was not committed to 'h': git is not installed",
         false},
        {{Status::kFailed, "", "fatal: bad"},
         "the backup is complete but was not committed to 'h': fatal: bad",
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GitWords::Text(c.outcome, "'h'"), c.text);
        EXPECT_EQ(GitWords::Succeeded(c.outcome), c.succeeded) << c.text;
    }
}
