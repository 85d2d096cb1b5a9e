#include "history/BackupChanges.h"

#include "base/TextEscape.h"
#include "history/BackupIndex.h"

std::vector<FileChange> BackupChanges::Between(const BackupIndex& older, const BackupIndex& newer,
                                               bool newerComplete) {
    std::vector<FileChange> changes;
    for (const ManifestEntry& e : newer.Files().Entries()) {
        if (older.Files().Find(e.name) == nullptr) {
            changes.push_back({e.name, DiffState::kAdded});
            continue;
        }
        const std::string sum = newer.ChecksumOf(e.name);
        if (sum.empty() || sum != older.ChecksumOf(e.name)) {
            changes.push_back({e.name, DiffState::kChanged});
        }
    }
    if (newerComplete) {
        for (const ManifestEntry& e : older.Files().Entries()) {
            if (newer.Files().Find(e.name) == nullptr) {
                changes.push_back({e.name, DiffState::kRemoved});
            }
        }
    }
    return changes;
}

std::string BackupChanges::Summary(const std::vector<FileChange>& changes) {
    std::string summary;
    for (const DiffState state : {DiffState::kChanged, DiffState::kAdded, DiffState::kRemoved}) {
        std::string names;
        int count = 0;
        for (const FileChange& c : changes) {
            if (c.state == state) {
                names += " " + EscapeControls(c.name);
                ++count;
            }
        }
        if (count > 0) {
            summary += (summary.empty() ? "" : "; ") + std::to_string(count) + " " +
                       FileDiff::StateWord(state) + ":" + names;
        }
    }
    return summary.empty() ? kSame : summary;
}
