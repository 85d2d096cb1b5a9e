#pragma once
// The backup store: a folder (by default backup/ in the working folder)
// holding backup folders named as BackupName writes them, and the one place
// that lists them, finds a box's newest complete backup, makes a new backup
// folder and prunes old ones. velqo-cli, the window and (through velqo-cli)
// the Ansible collection all ask it.
//
// Making a folder and pruning hold the store's lock (see StoreLock): an OS
// advisory lock on the file kLockName in the store's folder, which the OS
// drops when its process ends, however it ends, so a crashed run never leaves
// the store locked. A backup's files are written without the lock: a backup
// under way carries INCOMPLETE, and nothing incomplete is ever pruned.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "backup/BackupState.h"
#include "backup/StoreLock.h"

struct StoredBackup {
    std::filesystem::path folder;
    BackupName name;
    BackupState state;
};

struct PruneOutcome {
    struct Problem {
        std::filesystem::path folder;
        std::string why;
    };
    std::vector<std::filesystem::path> removed;  // gone, oldest first
    // The backup removed, but its folder stays for what the backup did not
    // make (user files, subfolders, links), kept and named; not in `removed`.
    std::vector<Problem> keptForeign;
    // Not removed, or removed only in part (then incomplete from now on).
    std::vector<Problem> failed;
    // Why nothing was pruned at all (the lock, the backup just made); empty if it was tried.
    std::string notTried;
    // Why nothing was pruned this time though nothing failed: a run is
    // reading a backup of the store. Empty if it was tried.
    std::string deferred;
};

class BackupStore {
public:
    // The store's folder under a working folder, unless the user chooses one.
    static constexpr const char* kDefaultFolder = "backup";
    static constexpr const char* kLockName = ".velqo-store.lock";
    // Held shared by each run that reads a backup of the store (restore,
    // compare, diff), exclusively by a prune: no backup goes while read.
    static constexpr const char* kReadersLockName = ".velqo-readers.lock";
    // How long making a folder or pruning waits for another run's lock.
    static constexpr int kLockWaitSeconds = 60;

    explicit BackupStore(std::filesystem::path root, int lockWaitSeconds = kLockWaitSeconds);

    const std::filesystem::path& Root() const { return root_; }

    // Every backup folder (a real folder, not a link, of a name BackupName
    // reads), newest first; none when the store's folder is not there.
    std::vector<StoredBackup> List() const;
    // Those of one box.
    std::vector<StoredBackup> ListOf(const BackupBox& box) const;
    // The box's newest complete backup; false when it has none.
    bool Latest(const BackupBox& box, StoredBackup* out) const;

    // Makes the store's folder if need be (that folder only, not its missing
    // parents) and a new backup folder of `box` in it, never an existing one.
    // False with the reason on failure.
    bool MakeFolder(const BackupBox& box, std::filesystem::path* folder, std::string* why) const;

    // After the complete backup `made`: removes the oldest complete backups
    // of its box, older than `made`, so that `keep` (1 or more) remain with
    // `made` among them. Incomplete folders and those of other boxes are
    // never touched; each removal takes away only what its backup made.
    PruneOutcome Prune(const std::filesystem::path& made, int keep) const;
    // Holds `lock` shared while backups of `store` are read, taken before
    // one is chosen. Only a folder that is a store (it holds the store's lock
    // file) is given the readers' lock file. False with why when it cannot.
    static bool LockForReading(const std::filesystem::path& store, StoreLock* lock,
                               std::string* why);
    // The store a backup folder lies in: the folder that holds it.
    static std::filesystem::path StoreOf(const std::filesystem::path& backup);

private:
    // List's folders, only those of `box` when it is not null.
    std::vector<StoredBackup> ListWhere(const BackupBox* box) const;

    std::filesystem::path root_;
    int lockWaitSeconds_;
};
