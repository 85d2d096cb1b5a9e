#pragma once
// Older backups of a box removed so that a number of them remain. Counted and
// removed are only complete backups of the same host in the same folder: a
// real folder (not a link) named as BackupFolder names it, holding a manifest
// and checksums and no INCOMPLETE. An incomplete backup is evidence of what
// went wrong and is never touched; neither is the backup just made.
#include <filesystem>
#include <string>
#include <vector>

class BackupRotation {
public:
    struct Failure {
        std::filesystem::path folder;
        std::string why;
    };
    struct Outcome {
        std::vector<std::filesystem::path> removed;  // oldest first
        std::vector<Failure> failed;
    };

    // `made`: the complete backup folder just made; its parent is searched and
    // its name tells the host. `keep`: how many remain, `made` among them (1 or more).
    static Outcome Prune(const std::filesystem::path& made, int keep);

    // Whether `name` reads HOST-YYYYMMDD-HHMMSS or HOST-YYYYMMDD-HHMMSS-N;
    // then `stem` is HOST and `order` sorts it by time, then N.
    static bool ParseName(const std::string& name, std::string* stem, std::string* order);
};
