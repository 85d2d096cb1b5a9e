#pragma once
// A box's history in a git repository: after a complete backup, its files
// replace those of the box's folder in the repository (one folder per box,
// named as the store names the box) and are committed with the backup's
// report as the message and the backup's time as the author date, so that
// `git log -p -- BOX/` shows the box's history with text diffs. A box that
// did not change makes no commit. Runs the git program; runs of several
// boxes into one repository take turns through a lock in its .git folder.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"

struct GitOutcome {
    enum class Status {
        kCommitted,
        kUnchanged,  // the box's folder was already so: no commit
        kNoGit,      // no git program to run
        kFailed,
    };
    Status status = Status::kFailed;
    std::string commit;  // kCommitted: the commit's short id
    std::string why;     // kNoGit, kFailed: what went wrong, git's own words included
};

class GitHistory {
public:
    static constexpr const char* kProgram = "git";
    // The commits' author; their committer too when git knows no user.
    static constexpr const char* kAuthorName = "velqo-cli";
    static constexpr const char* kAuthorEmail = "velqo-cli@localhost";
    // Inside the repository's .git: git never tracks it.
    static constexpr const char* kLockName = "velqo-history.lock";
    static constexpr int kLockWaitSeconds = 300;

    // `repository`: made (and `git init`ed) if missing. `excludedGroups`:
    // the box's groups whose files are left out (firmware images, say).
    GitHistory(std::filesystem::path repository, std::vector<std::string> excludedGroups);

    // Commits the complete backup `folder`, named `name`, with `message`.
    GitOutcome Commit(const std::filesystem::path& folder, const BackupName& name,
                      const std::string& message) const;

private:
    // Replaces the files of the box's folder in the repository by the backup's.
    bool CopyFiles(const std::filesystem::path& folder, const std::filesystem::path& into,
                   std::string* why) const;

    std::filesystem::path repository_;
    std::vector<std::string> excludedGroups_;
};
