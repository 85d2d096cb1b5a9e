// A restore's summary, worded once for every front: which counts are told
// when zero, what counts as restored when read back, a dry run, a lost link
// and a stop; and a damaged backup refused.
#include <gtest/gtest.h>

#include "backup/RestoreWords.h"

TEST(RestoreWordsTest, EachCountIsToldWhereItTellsSomething) {
    const auto facts = [](bool dryRun, bool verifying, bool changedOnly) {
        return RestoreWords::Facts{"store/b", 3, dryRun, verifying, changedOnly, {}, {}};
    };
    const auto outcome = [](int sent, int failed, int notTried, int unchanged, bool stopped) {
        RestoreOutcome o;
        o.sent = sent;
        o.uploadFailed = failed;
        o.notTried = notTried;
        o.unchanged = unchanged;
        o.stopped = stopped;
        return o;
    };
    RestoreOutcome verified = outcome(3, 0, 0, 0, false);
    verified.verified = verified.verifyFailed = verified.notVerified = 1;
    RestoreWords::Facts named = facts(false, true, true);
    named.failed = {"large.bin"};
    named.notSent = {"image.bin", "a\x1b.txt"};
    const struct {
        RestoreOutcome outcome;
        RestoreWords::Facts facts;
        const char* text;
    } cases[] = {
        {outcome(3, 0, 0, 0, false), facts(false, false, false),
         "restored 3 of 3 file(s) from store/b, 0 skipped"},
        {verified, facts(true, true, false),
         "would restore 3 of 3 file(s) from store/b, 0 skipped"},
        {verified, facts(false, true, false),
         "restored 1 of 3 file(s) from store/b, verified, 1 FAILED verification, 1 sent but not "
         "verified, 0 skipped"},
        {outcome(1, 1, 1, 0, false), facts(false, false, true),
         "restored 1 of 3 file(s) from store/b, 0 skipped, 1 failed, 1 not tried, 0 unchanged"},
        {outcome(0, 1, 0, 1, true), named,
         "restored 0 of 3 file(s) from store/b, verified, 0 skipped, 1 failed, 1 unchanged; "
         "failed: large.bin; stopped, not sent: image.bin, a\\x1b.txt"},
        {outcome(0, 0, 0, 0, true), facts(false, false, false),
         "restored 0 of 3 file(s) from store/b, 0 skipped; stopped"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RestoreWords::Summary(c.outcome, c.facts), c.text);
    }
    EXPECT_EQ(RestoreWords::Damaged("store/b", {"a.txt", "b\x1b.db"}, RestoreWords::kNothingSent),
              "the backup in store/b is damaged (a.txt, b\\x1b.db); nothing was sent");
}
