// A prune's lines and its problem, worded once: each old backup in the store
// as the user named it, and what keeps a complete backup's run from succeeding.
#include <gtest/gtest.h>

#include <string>

#include "backup/PruneWords.h"

TEST(PruneWordsTest, EachOldBackupAndEachProblemIsSaid) {
    using Kind = PruneWords::Kind;
    const std::string old = (std::filesystem::path("mine") / "b-1").string();
    EXPECT_EQ(PruneWords::Line(Kind::kRemoved, "mine", "/store/b-1"),
              "removed the old backup " + old);
    EXPECT_EQ(PruneWords::Line(Kind::kKept, "mine", "/store/b-1", "a.txt"),
              "warning: the old backup is removed, but " + old +
                  " still holds what it did not make, kept: a.txt");
    EXPECT_EQ(PruneWords::Line(Kind::kNotRemoved, "mine", "/store/b-1", "busy"),
              "cannot remove the old backup " + old + ": busy");
    EXPECT_STREQ(PruneWords::Key(Kind::kKept), "kept");
    EXPECT_STREQ(PruneWords::Key(Kind::kNotRemoved), "not_removed");

    PruneOutcome kept;
    kept.keptForeign = {{"/store/b-0", "a.txt"}};  // removed: no problem
    kept.deferred = "a run is reading";
    PruneOutcome failed;
    failed.failed = {{"/store/b-1", "busy"}, {"/store/b-2", "gone"}};
    PruneOutcome notTried;
    notTried.notTried = "the lock is held";
    EXPECT_EQ(PruneWords::Problem(kept, "mine"), "");
    EXPECT_EQ(PruneWords::Deferred(kept), "no old backup removed now: a run is reading");
    EXPECT_EQ(PruneWords::Deferred(failed), "");
    EXPECT_EQ(
        PruneWords::Problem(failed, "mine"),
        "the backup is complete, but 2 old backup(s) could not be removed: " + old + ": busy");
    EXPECT_EQ(PruneWords::Problem(notTried, "mine"),
              "the backup is complete, but no old backup was removed from mine: the lock is held");
}
