#pragma once
// `velqo-cli backup`: the library's backup, printed: the folder's path on
// stdout, what failed and the summary on stderr. With --keep, the store then
// prunes older complete backups of the box so that that many remain.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "backup/BackupName.h"
#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"

class BoxSession;
class CliOutput;
struct CliOptions;

class CliBackup : private WholeBoxReport {
public:
    // `into`: the backup store's folder, absolute; `shownInto`: the same as
    // the user gave it, as the paths printed start. `box`: the box, part of
    // the folder's name. `keep`: 0 for all.
    CliBackup(std::filesystem::path into, std::filesystem::path shownInto, BackupBox box, int keep,
              CliOutput& output);
    // With --report and --git in `options`: once the backup is complete,
    // what changed since the box's previous one is told and committed to
    // `gitRepository` (absolute).
    void TellChanges(const CliOptions& options, std::filesystem::path gitRepository) {
        history_ = &options;
        gitRepository_ = std::move(gitRepository);
    }
    // Returns the process exit status.
    int Run(BoxSession& session, const std::vector<wire::ListRecord>& listed);

private:
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    // False when an old backup that was to go could not be removed.
    bool Prune(const std::filesystem::path& made);

    std::filesystem::path into_;
    std::filesystem::path shownInto_;
    BackupBox box_;
    int keep_;
    CliOutput& output_;
    const CliOptions* history_ = nullptr;  // not owned
    std::filesystem::path gitRepository_;
};
