#pragma once
// Every box of the backup store at a glance: per box, its newest complete
// backup and what changed in it, and its newest incomplete one and why,
// from manifests, checksums and INCOMPLETE only.
#include <optional>
#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "history/BoxHistory.h"

struct BoxSummary {
    BackupBox box;
    int backups = 0;                         // of this box in the store
    std::optional<HistoryEntry> complete;    // the newest complete one
    std::optional<StoredBackup> incomplete;  // the newest not complete
    std::string incompleteWhy;               // its INCOMPLETE's first line, or its state
};

class StoreSummary {
public:
    // Boxes in the order of their newest backup, newest first.
    static std::vector<BoxSummary> Of(const BackupStore& store);
    // The summary of one box (none of its backups: `backups` 0).
    static BoxSummary OfBox(const BackupStore& store, const BackupBox& box);
};
