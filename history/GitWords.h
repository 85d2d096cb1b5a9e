#pragma once
// How a commit of a backup into a git repository ended, in the words every
// front shows (velqo-cli's line and its document's "git"), from one table.
// Sentences without a capital or a full stop; a front adds its own.
#include <string>

#include "history/GitHistory.h"

class GitWords {
public:
    // "committed to REPO as abc1234", "REPO already holds these files: no
    // commit", "the backup is complete but was not committed to REPO: why";
    // `shownRepository` as the front shows it (quoted).
    static std::string Text(const GitOutcome& outcome, const std::string& shownRepository);
    // Committed, or nothing to commit: the history holds the backup.
    static bool Succeeded(const GitOutcome& outcome);
};
