#pragma once
// How a compare of a backup with the box ended, in the words every front
// shows (velqo-cli's summary, the window's status line): its counts worded
// once, from one table. Sentences without a capital or a full stop; a front
// adds its own.
#include <string>

#include "backup/BoxCompare.h"

class CompareWords {
public:
    // Told when the link went during a compare.
    static constexpr const char* kLinkLost = "the link to the box is lost";
    // What a refused compare did not do.
    static constexpr const char* kNothingCompared = "nothing was compared";
    static constexpr const char* kNoList = "no compare: the box's list of files could not be read";

    // "2 same, 0 differ, 0 missing on the box, 0 only on the box, 0 failed":
    // every count, zero too, so that each is found in its place.
    static std::string Counts(const CompareOutcome& outcome);
    // "compared with FOLDER: COUNTS"; when the front stopped it early,
    // "; stopped, the others were not compared".
    static std::string Summary(const CompareOutcome& outcome, const std::string& shownBackup);
};
