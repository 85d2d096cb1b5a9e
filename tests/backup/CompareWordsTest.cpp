// A compare's summary, worded once for every front: each count in its
// place, zero too, and a stop.
#include <gtest/gtest.h>

#include "backup/CompareWords.h"

TEST(CompareWordsTest, EveryCountIsToldInItsPlace) {
    const CompareOutcome each{1, 2, 3, 4, 5, false, false};
    const CompareOutcome stopped{1, 0, 0, 0, 0, false, true};
    EXPECT_EQ(CompareWords::Summary(each, "store/b"),
              "compared with store/b: 1 same, 2 differ, 3 missing on the box, 4 only on the box, "
              "5 failed");
    EXPECT_EQ(CompareWords::Summary(stopped, "store/b"),
              "compared with store/b: 1 same, 0 differ, 0 missing on the box, 0 only on the box, "
              "0 failed; stopped, the others were not compared");
}
