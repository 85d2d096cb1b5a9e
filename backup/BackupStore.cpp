#include "backup/BackupStore.h"

#include <algorithm>
#include <system_error>
#include <tuple>

#include "backup/BackupRemoval.h"
#include "backup/StoreLock.h"
#include "base/TextEscape.h"

namespace fs = std::filesystem;

BackupStore::BackupStore(fs::path root, int lockWaitSeconds)
    : root_(std::move(root)), lockWaitSeconds_(lockWaitSeconds) {}

std::vector<StoredBackup> BackupStore::List() const {
    return ListWhere(nullptr);
}

std::vector<StoredBackup> BackupStore::ListOf(const BackupBox& box) const {
    return ListWhere(&box);
}

std::vector<StoredBackup> BackupStore::ListWhere(const BackupBox* box) const {
    std::vector<StoredBackup> backups;
    std::error_code ec;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        StoredBackup backup;
        backup.folder = it->path();
        std::error_code entryError;
        // A link is no backup of the store's, even one to a backup.
        if (!BackupName::Parse(backup.folder.filename().string(), &backup.name) ||
            (box != nullptr && backup.name.box != *box) ||
            it->symlink_status(entryError).type() != fs::file_type::directory) {
            continue;
        }
        // Read only for the box asked for: a store shared by a fleet holds
        // the backups of many boxes, and reading each one's state costs files.
        backup.state = BackupState::Of(backup.folder);
        backups.push_back(std::move(backup));
    }
    std::sort(backups.begin(), backups.end(), [](const StoredBackup& a, const StoredBackup& b) {
        // Newest first; backups of one moment by box, so the order never varies.
        return std::tie(b.name.stamp, b.name.sequence, a.name.box.host, a.name.box.port) <
               std::tie(a.name.stamp, a.name.sequence, b.name.box.host, b.name.box.port);
    });
    return backups;
}

bool BackupStore::Latest(const BackupBox& box, StoredBackup* out) const {
    for (StoredBackup& backup : ListOf(box)) {
        if (backup.state.Complete()) {
            *out = std::move(backup);
            return true;
        }
    }
    return false;
}

bool BackupStore::MakeFolder(const BackupBox& box, fs::path* folder, std::string* why) const {
    std::error_code ec;
    // Only the store's own folder, as mkdir without -p: a mistyped parent
    // would otherwise become a tree of folders nobody asked for.
    const fs::path store = root_.has_filename() ? root_ : root_.parent_path();
    if (!fs::create_directory(store, ec) && ec) {
        const fs::path parent = store.parent_path();
        std::error_code statusError;
        const bool parentMissing =
            !parent.empty() && fs::status(parent, statusError).type() == fs::file_type::not_found;
        *why = parentMissing ? "its parent folder '" + QuoteForMessage(parent.string()) +
                                   "' does not exist; only the store's own folder is made"
                             : "cannot make it: " + ec.message();
        return false;
    }
    StoreLock lock;
    if (!lock.Acquire(root_ / kLockName, lockWaitSeconds_, why)) {
        return false;
    }
    BackupName name = BackupName::Now(box);
    for (name.sequence = 1; name.sequence <= BackupName::kMaxSequence; ++name.sequence) {
        const fs::path candidate = root_ / name.Format();
        if (fs::create_directory(candidate, ec)) {
            *folder = candidate;
            return true;
        }
        // Taken by anything, a plain file or a link too: the next number.
        std::error_code statusError;
        if (ec && !fs::exists(fs::symlink_status(candidate, statusError))) {
            break;
        }
        ec.clear();
    }
    *why = ec ? ec.message() : "every name of this second is taken";
    return false;
}

PruneOutcome BackupStore::Prune(const fs::path& made, int keep) const {
    PruneOutcome outcome;
    BackupName madeName;
    if (keep < 1 || !BackupName::Parse(made.filename().string(), &madeName)) {
        return outcome;
    }
    StoreLock lock;
    if (!lock.Acquire(root_ / kLockName, lockWaitSeconds_, &outcome.notTried)) {
        return outcome;
    }
    // Only after a complete backup: it is then the newest complete one, never pruned.
    if (!BackupState::Of(root_ / made.filename()).Complete()) {
        outcome.notTried = "the backup just made is not complete";
        return outcome;
    }
    // Never while another run reads a backup; it is not waited for, as a
    // restore may take long: the next --keep removes what this one would have.
    StoreLock readers;
    std::string held;
    if (!readers.Acquire(root_ / kReadersLockName, 0, &held)) {
        outcome.deferred =
            "another run (restore, compare or diff) is reading a backup of the "
            "store; the next --keep removes the old ones";
        return outcome;
    }
    std::vector<StoredBackup> older;
    for (StoredBackup& backup : ListOf(madeName.box)) {
        if (backup.state.Complete() && backup.name.IsOlderThan(madeName)) {
            older.push_back(std::move(backup));
        }
    }
    const size_t others = static_cast<size_t>(keep - 1);
    // `older` is newest first: what goes is at its end, removed oldest first.
    for (size_t i = older.size(); i > others; --i) {
        const fs::path& folder = older[i - 1].folder;
        BackupRemoval removal;
        switch (removal.Remove(folder)) {
            case BackupRemoval::Result::kRemoved:
                outcome.removed.push_back(folder);
                break;
            case BackupRemoval::Result::kKeptForeign: {
                std::string names;
                for (const std::string& name : removal.Foreign()) {
                    names += (names.empty() ? "" : ", ") + QuoteForMessage(name);
                }
                outcome.keptForeign.push_back({folder, names});
                break;
            }
            case BackupRemoval::Result::kFailed:
                outcome.failed.push_back({folder, removal.Why()});
                break;
        }
    }
    return outcome;
}

bool BackupStore::LockForReading(const fs::path& store, StoreLock* lock, std::string* why) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(store / kLockName, ec))) {
        return true;
    }
    return lock->Acquire(store / kReadersLockName, kLockWaitSeconds, why, StoreLock::Mode::kShared);
}

fs::path BackupStore::StoreOf(const fs::path& backup) {
    fs::path folder = backup.lexically_normal();
    if (!folder.has_filename()) {
        folder = folder.parent_path();
    }
    const fs::path store = folder.parent_path();
    return store.empty() ? fs::path(".") : store;
}
