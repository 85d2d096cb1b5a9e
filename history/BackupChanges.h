#pragma once
// Which files changed from one backup of a box to a later one, from their
// indexes (manifests and checksums) alone, and the one-line summary that
// history, the backup report and a git commit message show:
// "3 changed: config.txt timers.txt channels.db", "1 added: epg.dat",
// "same".
#include <string>
#include <vector>

#include "history/FileDiff.h"

class BackupIndex;

struct FileChange {
    std::string name;
    DiffState state = DiffState::kChanged;  // never kSame
};

class BackupChanges {
public:
    static constexpr const char* kSame = "same";
    static constexpr const char* kFirst = "first";

    // The files that differ, in `newer`'s order, then the removed ones in
    // `older`'s. A file without a checksum on either side counts as
    // changed. `newerComplete` false: `newer` is an incomplete backup, whose
    // missing files are not counted as removed.
    static std::vector<FileChange> Between(const BackupIndex& older, const BackupIndex& newer,
                                           bool newerComplete);
    // "N changed: A B; N added: C; N removed: D", or "same" for none; names
    // with their control characters escaped.
    static std::string Summary(const std::vector<FileChange>& changes);
};
