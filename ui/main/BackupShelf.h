#pragma once
// What the backups dialog lists, worked out from the folders in the backup
// folder without any window: which folders are backups, when each was taken, how many
// files it holds and whether it is complete. Backup folders are copied around
// by users, so every name and manifest is checked, and what does not pass is
// shown as such or left out, never trusted.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupFolder.h"

// How far a backup's manifest could be read.
enum class BackupManifest { kRead, kMissing, kUnreadable };

struct BackupRow {
    std::string folder;  // the folder's own name
    BackupFolder::NameParts name;
    BackupManifest manifest = BackupManifest::kRead;
    int fileCount = 0;  // the manifest's files; 0 unless it was read
    bool incomplete = false;

    // "YYYY-MM-DD HH:MM:SS", with " (N)" for a second backup of that second.
    std::string TakenText() const;
    // The number of files, or "?" when the manifest could not be read.
    std::string FilesText() const;
    // "incomplete", "no manifest", "damaged manifest", or empty.
    std::string StateText() const;
};

// One file that a backup's manifest names.
struct BackupFileRow {
    std::string group;
    std::string name;
    std::string sizeText;  // bytes, grouped by thousands; "?" when not in the folder
};

class BackupShelf {
public:
    // The folder under the working directory where backups are kept.
    static constexpr const char* kFolder = "backup";

    // Every backup folder in `root`, newest first; none when `root` is not a
    // folder.
    static std::vector<BackupRow> List(const std::filesystem::path& root);

    // The files that the manifest of the backup in `folder` names, in its
    // order; none when the manifest cannot be read.
    static std::vector<BackupFileRow> Files(const std::filesystem::path& folder);
};
