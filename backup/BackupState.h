#pragma once
// Whether a backup folder is complete, the one definition: a real folder
// (not a link) that holds no INCOMPLETE, whose manifest parses, and whose
// SHA256SUMS lists exactly the manifest's files and the manifest itself.
// The files' checksums are checked only when a backup is used
// (BackupContents): this is what listing and pruning need.
#include <filesystem>
#include <string>

struct BackupState {
    enum class Kind {
        kComplete,
        kNotAFolder,        // a link or another file
        kMarkedIncomplete,  // INCOMPLETE is there
        kNoManifest,
        kDamagedManifest,
        kDamagedChecksums,  // SHA256SUMS missing, unreadable, or listing other files
    };
    Kind kind = Kind::kNotAFolder;
    int fileCount = -1;  // the manifest's entries; -1 when it could not be read

    static BackupState Of(const std::filesystem::path& folder);
    bool Complete() const { return kind == Kind::kComplete; }
    // "complete", "incomplete", "no manifest", "damaged manifest", ...
    const char* Text() const;
};
