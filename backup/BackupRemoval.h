#pragma once
// One complete backup removed, and only what the backup made: first it is
// marked (INCOMPLETE written) so that it never counts as complete again,
// then the files its manifest lists and its own three files are unlinked,
// then the folder is removed if that left it empty. Anything else in it (a
// file someone added, a subfolder, a link) is kept and named. A removal
// broken off anywhere leaves a folder that counts as incomplete.
#include <filesystem>
#include <string>
#include <vector>

class BackupRemoval {
public:
    enum class Result {
        kRemoved,      // the folder is gone
        kKeptForeign,  // the backup is gone; the folder stays with Foreign() in it
        kFailed,       // see Why(); the folder, if marked, is incomplete
    };

    // `folder` must be a complete backup (BackupState).
    Result Remove(const std::filesystem::path& folder);

    // What the folder still holds that the backup did not make.
    const std::vector<std::string>& Foreign() const { return foreign_; }
    const std::string& Why() const { return why_; }

private:
    std::vector<std::string> foreign_;
    std::string why_;
};
