#include "history/BoxHistory.h"

#include <memory>

#include "history/BackupIndex.h"

std::string HistoryEntry::Summary() const {
    if (!problem.empty()) {
        return problem;
    }
    return first ? BackupChanges::kFirst : BackupChanges::Summary(changes);
}

std::vector<HistoryEntry> BoxHistory::Of(const BackupStore& store, const BackupBox& box) {
    std::vector<StoredBackup> backups = store.ListOf(box);
    std::vector<HistoryEntry> entries(backups.size());
    std::unique_ptr<BackupIndex> previous;  // the nearest older complete one
    // Oldest first, each set against the complete one before it.
    for (size_t k = backups.size(); k > 0; --k) {
        HistoryEntry& entry = entries[k - 1];
        entry.backup = std::move(backups[k - 1]);
        auto index = std::make_unique<BackupIndex>();
        if (!index->Load(entry.backup.folder, &entry.problem)) {
            continue;
        }
        if (previous == nullptr) {
            entry.first = true;
        } else {
            entry.changes =
                BackupChanges::Between(*previous, *index, entry.backup.state.Complete());
        }
        if (entry.backup.state.Complete()) {
            previous = std::move(index);
        }
    }
    return entries;
}
