#pragma once
// How old a backup is, from its folder name's local date and time, for
// people: "3 days old", "5 hours old", "under a minute old".
#include <cstdint>
#include <ctime>
#include <string>

#include "backup/BackupName.h"

class BackupAge {
public:
    // Seconds from the backup's stamp to `now`; negative for a stamp ahead
    // of the clock.
    static int64_t Seconds(const BackupName& name, std::time_t now);
    // The age in its largest whole unit; "dated ahead of the clock" for a
    // negative one.
    static std::string Text(int64_t seconds);
};
