#pragma once
// What a backup folder says about itself without its files being read: the
// manifest (names, groups, types) and SHA256SUMS (a checksum per file). Two
// backups' indexes tell which files changed between them, at the cost of
// two small files per backup.
#include <filesystem>
#include <string>

#include "backup/ChecksumList.h"
#include "catalog/Manifest.h"

class BackupIndex {
public:
    // False with the reason when the manifest or SHA256SUMS cannot be read
    // (only the folder's own regular files are read).
    bool Load(const std::filesystem::path& folder, std::string* why);

    const Manifest& Files() const { return manifest_; }
    // The file's checksum, empty when SHA256SUMS has none for it.
    std::string ChecksumOf(const std::string& name) const;

private:
    Manifest manifest_;
    ChecksumList sums_;
};
