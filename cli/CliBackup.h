#pragma once
// `velqo-cli backup`: the library's backup, printed: the folder's path on
// stdout, what failed and the summary on stderr. With --keep, the store then
// prunes older complete backups of the box so that that many remain.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backup/BoxBackup.h"
#include "backup/WholeBoxReport.h"
#include "cli/CliCommand.h"
#include "cli/CliInterruption.h"

class CliOutput;
struct CliContext;

class CliBackup : public CliCommand, private WholeBoxReport {
public:
    explicit CliBackup(const CliContext& context);
    // A folder made first and never filled (the box could not be reached)
    // is removed again, and only while it is empty.
    ~CliBackup() override;
    // Makes the backup folder before connecting: the store's lock is
    // waited for while no box waits.
    int Check() override;
    // With --report and --git: once the backup is complete, what changed
    // since the box's previous one is told and committed. With --keep, the
    // store is then pruned.
    int Run(const CliBoxLink* box) override;

private:
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    // Empty when every old backup --keep chose is gone; otherwise why not.
    std::string Prune(const std::filesystem::path& made);

    const CliContext& context_;
    CliOutput& output_;
    std::optional<BoxBackup> backup_;                // from Check on, once the box is chosen
    bool filled_ = false;                            // Run began to fill the folder
    std::unique_ptr<CliInterruption> interruption_;  // while the files are saved
    std::vector<std::string> notSaved_;              // the files that failed
};
