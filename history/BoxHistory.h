#pragma once
// The backups of one box in the store, newest first, each with what changed
// since the complete backup before it, from manifests and checksums only
// (never the files themselves), so that a thousand backups list at once.
#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "history/BackupChanges.h"

struct HistoryEntry {
    StoredBackup backup;
    // Since the nearest older complete backup; empty with `first` or
    // `problem`. An incomplete backup's missing files are not "removed".
    std::vector<FileChange> changes;
    bool first = false;   // no complete backup before it
    std::string problem;  // its manifest or checksums cannot be read
    // "3 changed: a b c", "same", "first", or the problem.
    std::string Summary() const;
};

class BoxHistory {
public:
    static std::vector<HistoryEntry> Of(const BackupStore& store, const BackupBox& box);
};
