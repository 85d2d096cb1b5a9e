#pragma once
// The backup folder that restore and compare start from, read and checked
// before the box is contacted: a damaged backup, or a name it does not hold,
// ends the command with nothing sent to the box or read from it.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/RestorePlan.h"
#include "backup/StoreLock.h"
#include "backup/WholeBoxReport.h"
#include "cli/CliOptions.h"

class CliOutput;
struct CliContext;

class CliBackupSource : private WholeBoxReport {
public:
    // `directory`: DIR as an absolute path; `given`: the backup folder as
    // the user gave it (or as `latest` named it), relative to DIR; the names
    // come from `options`.
    CliBackupSource(const CliOptions& options, const std::filesystem::path& directory,
                    std::filesystem::path given, CliOutput& output);

    // The backup folder of restore and compare (latest, latest~N: the box's
    // in the store), read and checked into `source`; the exit status.
    static int Open(const CliContext& context, std::unique_ptr<CliBackupSource>* source);

    // Reads and checks every file of the backup; the process exit status,
    // kExitOk when it may be used, else after saying why.
    int Load();

    const BackupContents& Contents() const { return backup_; }
    RestorePlan& Plan() { return plan_; }
    // The names asked for; empty: every file.
    const std::vector<std::string>& Names() const { return options_.names; }
    // As the user gave it, for the messages.
    const std::filesystem::path& Given() const { return given_; }

private:
    void FileDone(const FileReport& file) override;

    const CliOptions& options_;
    std::filesystem::path given_;
    std::filesystem::path folder_;  // absolute
    CliOutput& output_;
    BackupContents backup_;
    RestorePlan plan_;
    // Held while the backup is read, so that no prune removes it.
    std::unique_ptr<StoreLock> reading_;
};
