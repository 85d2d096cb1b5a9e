#pragma once
// A box's history in a git repository: after a complete backup, a commit on
// the branch HEAD names in which the box's folder (one folder per box, named
// as the store names the box) holds the backup's manifest and files, titled
// with what it changes there and dated with the backup's time, so that
// `git log -p -- BOX/` shows the box's history with text diffs. A box that did
// not change makes no commit.
//
// The commit is built from the backup folder as git's work tree through an
// index of its own in .git, and the branch is then moved to it: the
// repository's working tree and index are never read or written, so nothing
// the user has there (untracked, changed or staged) is touched; the working
// tree shows the new files once its user brings it up to date. The files are
// kept byte for byte (no filter or line-end rule of git applies). Runs of
// several boxes into one repository take turns through a lock in its .git.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "history/BackupChanges.h"

struct GitOutcome {
    enum class Status {
        kCommitted,
        kUnchanged,  // the box's folder was already so: no commit
        kNoGit,      // no git program to run
        kFailed,
    };
    Status status = Status::kFailed;
    std::string commit;  // kCommitted: the commit's short id
    std::string why;     // kNoGit, kFailed: what went wrong, git's own words escaped
};

class GitHistory {
public:
    // The commits' author; their committer too when git knows no user.
    static constexpr const char* kAuthorName = "velqo-cli";
    static constexpr const char* kAuthorEmail = "velqo-cli@localhost";
    // Inside the repository's .git, which git never tracks: the lock, the
    // index the commits are built in, and the empty folder read as the hooks'.
    static constexpr const char* kLockName = "velqo-history.lock";
    static constexpr const char* kIndexName = "velqo-history.index";
    static constexpr const char* kNoHooksName = "velqo-history-hooks";
    static constexpr int kLockWaitSeconds = 300;

    // `repository`: made (and `git init`ed) if missing. `excludedGroups`:
    // the box's groups whose files are left out (firmware images, say).
    GitHistory(std::filesystem::path repository, std::vector<std::string> excludedGroups);

    // Commits the complete backup `folder`, named `name`.
    GitOutcome Commit(const std::filesystem::path& folder, const BackupName& name) const;

    // The message of a commit making these changes in the box's folder `box`:
    // "BOX: first" when the folder is new (`first`), else
    // "BOX: 1 changed: a; 1 added: b" and a line per file. The manifest is
    // named only when nothing else changed.
    static std::string Message(const std::string& box, bool first, std::vector<FileChange> changes);

private:
    // The backup's files the box's folder gets: its manifest, and the files
    // of the groups not left out. False, saying why, for a file git would
    // read as its own.
    bool NamesToCommit(const std::filesystem::path& folder, std::vector<std::string>* names,
                       std::string* why) const;

    std::filesystem::path repository_;
    std::vector<std::string> excludedGroups_;
};
