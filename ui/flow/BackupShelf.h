#pragma once
// What the backups dialog lists, worked out without any window from the
// backup store (BackupStore, which alone reads folder names and decides what
// is complete): the box's backups, when each was taken, how many files it
// holds and whether it is complete; and the files of one backup.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "backup/BackupState.h"
#include "backup/BackupStore.h"

struct BackupRow {
    std::string folder;  // the folder's own name
    BackupName name;
    BackupState state;

    // "YYYY-MM-DD HH:MM:SS", with " (N)" for a second backup of that second.
    std::string TakenText() const;
    // The number of files, or "?" when the manifest could not be read.
    std::string FilesText() const;
    // "complete", or what it is instead: "incomplete", "no manifest"...
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
    // The backup store's folder under the working directory, as velqo-cli's.
    static constexpr const char* kFolder = BackupStore::kDefaultFolder;

    // The backups of `box` in the store at `root`, newest first; none when
    // `root` is not a folder.
    static std::vector<BackupRow> List(const std::filesystem::path& root, const BackupBox& box);

    // The files that the manifest of the backup in `folder` names, in its
    // order; none when the manifest cannot be read.
    static std::vector<BackupFileRow> Files(const std::filesystem::path& folder);
};
