#pragma once
// `velqo-cli diff OLD NEW`: two backups, or a backup and the box, file by
// file: a line "same|changed|added|removed NAME" each, and under a changed
// text file its unified diff, under a changed binary file its sizes and the
// first differing byte (--names-only: the lines alone). Exit 0 when all are
// the same, 1 when anything differs or a file could not be read.
#include <memory>
#include <string>

#include "backup/StoreLock.h"

#include "cli/CliCommand.h"
#include "history/DiffSide.h"

class CliOutput;
struct CliContext;
struct CliOptions;

class CliDiff : public CliCommand {
public:
    static constexpr const char* kBox = "box";

    explicit CliDiff(const CliContext& context);

    // Whether a side is the live box.
    static bool IsBox(const std::string& side);
    // The sides that are backups, read and checked.
    int Check() override;
    // `box`: the link when a side is the box.
    int Run(const CliBoxLink* box) override;

private:
    // A side that is a backup: "latest", "latest~N" (the box's in the
    // store), else a folder relative to DIR. Null after saying why, with
    // the exit status in `exit`.
    std::unique_ptr<DiffSide> LoadBackup(const std::string& side, int* exit);

    const CliContext& context_;
    const CliOptions& options_;
    CliOutput& output_;
    std::unique_ptr<DiffSide> older_;  // null for the box
    std::unique_ptr<DiffSide> newer_;
    // Held while the backups are read, so that no prune removes them.
    StoreLock readingOlder_;
    StoreLock readingNewer_;
};
