#pragma once
// What `velqo-cli backup` tells after a complete backup, for a scheduled
// run's log: with --report, one line per file that changed since the box's
// previous complete backup in the store (stderr, and "changes" in the
// document); with --git REPO, the backup committed into the repository with
// that report as the message.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "history/BackupChanges.h"

class CliOutput;
struct CliOptions;

class CliBackupReport {
public:
    // `made`: the complete backup just made in `store`.
    CliBackupReport(const CliOptions& options, const BackupStore& store,
                    const std::filesystem::path& made, CliOutput& output);

    // The report, as --report asks; false when a backup's index cannot be read.
    bool Report();
    // The commit, as --git asks; false when it failed (said why).
    bool Commit(const std::filesystem::path& repository);

private:
    const CliOptions& options_;
    BackupName name_;
    std::filesystem::path made_;
    CliOutput& output_;
    bool first_ = true;  // no complete backup of the box before it
    std::string problem_;
    std::vector<FileChange> changes_;
};
