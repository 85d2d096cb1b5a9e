#pragma once
// How a user names a backup of a box in the store: "latest", its newest
// complete backup, and "latest~N", the N-th complete one before it (as git
// names commits). Incomplete backups are never counted.
#include <ctime>
#include <filesystem>
#include <string>

#include "backup/BackupStore.h"

class BackupRef {
public:
    static constexpr const char* kLatest = "latest";
    static constexpr char kBefore = '~';

    // "latest" gives 0, "latest~N" gives N; false for any other text.
    static bool ParseLatest(const std::string& text, int* back);
    // The complete backup of `box` `back` places before its newest complete
    // one; false with the reason when it has not that many.
    static bool Find(const BackupStore& store, const BackupBox& box, int back, StoredBackup* found,
                     std::string* why);
    // A warning when `found` is stamped ahead of `now`: the clock was set
    // back since, and a backup made now would not count as the newest.
    // Empty otherwise.
    static std::string FutureWarning(const StoredBackup& found, std::time_t now);
};
