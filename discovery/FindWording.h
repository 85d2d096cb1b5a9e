#pragma once
// The words every front says of one answer of a search, beside
// FindKindText: what it listed ("3 file(s), requires tool 1.2") and, for
// what may be a box, its newest complete backup in the store ("newest backup
// 3 days old", "never backed up").
#include <cstdint>
#include <ctime>
#include <string>

#include "backup/BackupStore.h"
#include "discovery/FindResult.h"

struct FoundBackup {
    bool known = false;  // the address may be a box, so the store was asked
    bool found = false;  // it holds a complete backup of the box
    StoredBackup latest;
    int64_t ageSeconds = 0;
    std::string text;  // "newest backup 3 days old", "never backed up"; "-" when not known
};

class FindWording {
public:
    // A box's files and the tool it requires, then what it said; for the
    // other kinds what `detail` says. Empty when there is nothing to say.
    static std::string Detail(const FindResult& result);
    // The newest complete backup of the box at the result's address and
    // `port` in `store`, its age as at `now`.
    static FoundBackup Backup(const FindResult& result, uint16_t port, const BackupStore& store,
                              std::time_t now);
};
