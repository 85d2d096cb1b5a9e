#pragma once
// How a restore ended, and why a backup is refused before a restore or a
// compare, in the words every front shows (velqo-cli's lines and its
// document's error, the window's status line): the counts worded once, from
// one table. Sentences without a capital or a full stop; a front adds its own.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"

class RestoreWords {
public:
    // What a refused restore did not do.
    static constexpr const char* kNothingSent = "nothing was sent";

    // What the outcome alone does not hold.
    struct Facts {
        std::string shownBackup;  // the backup, as the front names it
        int planned = 0;          // the plan's files
        bool dryRun = false;
        bool verifying = false;    // each upload read back (never in a dry run)
        bool changedOnly = false;  // compared first: the unchanged are counted
        // Named when the front lists them: the files that failed, and those
        // not reached after a stop.
        std::vector<std::string> failed;
        std::vector<std::string> notSent;
    };

    // Why a restore did not start, once its backup was usable.
    enum class NotStarted {
        kNoList,            // the box's list could not be read
        kNotCompared,       // the link went while the box's files were compared
        kStoppedComparing,  // the front stopped it while comparing
        kCancelled,         // the user said no
    };

    // "restored 2 of 3 file(s) from FOLDER, verified, 1 FAILED verification,
    // 0 skipped, 1 unchanged" ("would restore" in a dry run); only what was
    // read back and found equal counts as restored when verifying. Skipped is
    // always told, unchanged whenever the box was compared first, the other
    // counts when not zero. Then "; failed: a, b" and, after a stop,
    // "; stopped, not sent: c".
    static std::string Summary(const RestoreOutcome& outcome, const Facts& facts);
    // "no restore: the box's list of files could not be read; nothing was sent"...
    static std::string Why(NotStarted why);
    // "nothing to restore: the box holds the backup's files (COUNTS)".
    static std::string NothingToSend(const CompareOutcome& compared);

    // "FOLDER is not a usable backup: FOLDER/FILE: why".
    static std::string Unusable(const std::filesystem::path& shownBackup, const std::string& file,
                                const std::string& why);
    // "the backup in FOLDER is damaged (a, b); NOTHING".
    static std::string Damaged(const std::filesystem::path& shownBackup,
                               const std::vector<std::string>& failing, const char* nothing);
};
