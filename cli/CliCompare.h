#pragma once
// `velqo-cli compare BACKUP [NAME...]`: the library's compare of a checked
// backup with the box, printed one line per file on stdout ("same NAME",
// "differs NAME", "missing-on-box NAME", "only-on-box NAME", "failed NAME").
#include <memory>
#include <string>

#include "backup/WholeBoxReport.h"
#include "cli/CliBackupSource.h"
#include "cli/CliCommand.h"

class CliOutput;
struct CliContext;

class CliCompare : public CliCommand, private WholeBoxReport {
public:
    explicit CliCompare(const CliContext& context);
    // The backup, read and checked.
    int Check() override;
    // 0 when every file is the same.
    int Run(const CliBoxLink* box) override;

private:
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;

    const CliContext& context_;
    CliOutput& output_;
    std::unique_ptr<CliBackupSource> source_;
};
