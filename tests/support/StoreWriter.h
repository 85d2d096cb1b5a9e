#pragma once
// Backup folders written straight into a store folder, as BoxBackup leaves
// them (manifest.txt, SHA256SUMS with the manifest's line last, INCOMPLETE
// for an incomplete one), for tests that need many of them, or some of
// given ages, without a box.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "backup/BackupName.h"

struct StoredFile {
    std::string group;
    std::string name;
    int type = 0;
    std::string bytes;
};

// Writes the backup folder `name` with `files` into `store`; returns its path.
std::filesystem::path WriteStoredBackup(const std::filesystem::path& store, const BackupName& name,
                                        const std::vector<StoredFile>& files,
                                        bool incomplete = false);

// The name of a backup of `host` (port 1000 unless given) at `stamp`
// (YYYYMMDDHHMMSS), the `sequence`-th within that second.
BackupName StoredName(const std::string& host, const std::string& stamp, int sequence = 1,
                      int port = 1000);
