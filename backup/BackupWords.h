#pragma once
// How a backup that is not complete ended, in the words every front shows
// (velqo-cli's line and its document's error, the window's status line, the
// update's step): its reasons are the outcome's values, worded here once.
// Sentences without a capital or a full stop; a front adds its own.
#include <string>
#include <vector>

#include "backup/BoxBackup.h"

class BackupWords {
public:
    // kIncomplete: "INCOMPLETE backup in FOLDER: 2 of 3 file(s) saved" and
    // why, from the outcome: "; not saved: a.txt, b.txt" (`notSaved`, the
    // files that failed), and what else kept it incomplete: the front's stop
    // ("the others were not reached"), the box's malformed list, or the
    // backup's own files that could not be written.
    // kNoFolder: "no backup: no folder can be made in STORE: why".
    // kNotStarted: "no backup: nothing can be written in FOLDER".
    // Empty for a complete backup.
    static std::string Problem(const BackupOutcome& outcome, const std::string& shownStore,
                               const std::string& shownFolder,
                               const std::vector<std::string>& notSaved);
};
