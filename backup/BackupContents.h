#pragma once
// A backup folder read and checked before anything of it goes to a box:
// its manifest and SHA256SUMS must read, every file must match its checksum,
// and every file in the manifest must have one.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/ChecksumList.h"
#include "catalog/Manifest.h"

class WholeBoxReport;

class BackupContents {
public:
    enum class Check {
        kOk,
        kUnusable,  // manifest or SHA256SUMS cannot be read; see ErrorFile, Error
        kDamaged,   // files fail their check; see Failing
    };

    // Reads the folder and checks every file; each failing file is reported
    // as kFailed with the reason. The folder must stay as it is while the
    // object is used.
    Check Load(const std::filesystem::path& folder, WholeBoxReport* report);

    const std::filesystem::path& Folder() const { return folder_; }
    const Manifest& Entries() const { return manifest_; }
    const ChecksumList& Sums() const { return sums_; }
    // Whether the backup says of itself that files are missing.
    bool Incomplete() const { return incomplete_; }
    // kUnusable: which of the backup's own files failed (its name in the
    // folder) and why, without the path ("line 2: ...", "cannot be read").
    const std::string& ErrorFile() const { return errorFile_; }
    const std::string& Error() const { return error_; }
    // kDamaged: the failing names, in the order they were found.
    const std::vector<std::string>& Failing() const { return failing_; }
    // The path of a file of the backup.
    std::filesystem::path PathOf(const std::string& name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
    Manifest manifest_;
    ChecksumList sums_;
    bool incomplete_ = false;
    std::string errorFile_;
    std::string error_;
    std::vector<std::string> failing_;
};
