#pragma once
// `velqo-cli restore BACKUP [NAME...]`: the library's restore of a checked
// backup, printed. With --changed-only the library's compare runs first, in
// the same session, and only the files that differ on the box are sent.
#include <memory>
#include <string>
#include <vector>

#include "backup/ReadBackVerifier.h"
#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"
#include "cli/CliBackupSource.h"
#include "cli/CliCommand.h"
#include "cli/CliInterruption.h"
#include "cli/CliOptions.h"

class BoxSession;
class CliOutput;
struct CliContext;

class CliRestore : public CliCommand, private WholeBoxReport {
public:
    // Says "dry_run" at once: the document of a restore that ends early has it too.
    explicit CliRestore(const CliContext& context);
    // The backup, read and checked.
    int Check() override;
    int Run(const CliBoxLink* box) override;

private:
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    // Marks in the plan the files the box already holds as in the backup, and
    // those that could not be compared.
    void MarkUnchanged(BoxSession& session, const std::vector<wire::ListRecord>& listed);

    const CliContext& context_;
    const CliOptions& options_;
    CliOutput& output_;
    std::unique_ptr<CliBackupSource> source_;
    std::unique_ptr<ReadBackVerifier> verifier_;     // --verify only
    std::unique_ptr<CliInterruption> interruption_;  // while files are sent
};
