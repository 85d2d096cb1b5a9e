// A backup that is not complete, worded once for every front: each reason
// the outcome holds in its place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/BackupWords.h"

TEST(BackupWordsTest, EachReasonOfAnIncompleteBackupIsSaid) {
    using Status = BackupOutcome::Status;
    const auto outcome = [](Status status) {
        BackupOutcome o;
        o.status = status;
        o.saved = 1;
        o.listed = 3;
        return o;
    };
    BackupOutcome stopped = outcome(Status::kIncomplete);
    stopped.stopped = true;
    BackupOutcome badList = outcome(Status::kIncomplete);
    badList.saved = 0;
    badList.listed = 0;
    badList.listProblem = "the box sent an invalid file list (a count of -1, not 0 to 28)";
    BackupOutcome unwritten = outcome(Status::kIncomplete);
    unwritten.saved = 3;
    unwritten.unwritten = {"store/b/SHA256SUMS"};
    BackupOutcome noFolder = outcome(Status::kNoFolder);
    noFolder.why = "Permission denied";
    const struct {
        BackupOutcome outcome;
        std::vector<std::string> notSaved;
        const char* text;
    } cases[] = {
        {outcome(Status::kComplete), {}, ""},
        {outcome(Status::kIncomplete),
         {"a.txt", "b\x1b.txt"},
         "INCOMPLETE backup in store/b: 1 of 3 file(s) saved; not saved: a.txt, b\\x1b.txt"},
        {stopped,
         {},
         "INCOMPLETE backup in store/b: 1 of 3 file(s) saved; the others were not reached"},
        {badList,
         {},
         "INCOMPLETE backup in store/b: 0 of 0 file(s) saved; the box sent an invalid file list "
         "(a count of -1, not 0 to 28)"},
        {unwritten,
         {},
         "INCOMPLETE backup in store/b: 3 of 3 file(s) saved; the backup's own files could not "
         "be written: SHA256SUMS"},
        {noFolder, {}, "no backup: no folder can be made in store: Permission denied"},
        {outcome(Status::kNotStarted), {}, "no backup: nothing can be written in store/b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackupWords::Problem(c.outcome, "store", "store/b", c.notSaved), c.text);
    }
}
