#pragma once
// `velqo-cli diff OLD NEW`: two backups, or a backup and the box, file by
// file: a line "same|changed|added|removed NAME" each, and under a changed
// text file its unified diff, under a changed binary file its sizes and the
// first differing byte (--names-only: the lines alone). Exit 0 when all are
// the same, 1 when anything differs or a file could not be read.
#include <filesystem>
#include <memory>
#include <string>

#include "backup/BackupStore.h"
#include "history/DiffSide.h"

class CliOutput;
struct CliOptions;

class CliDiff {
public:
    static constexpr const char* kBox = "box";

    CliDiff(const CliOptions& options, CliOutput& output);

    // Whether a side is the live box.
    static bool IsBox(const std::string& side);
    // A side that is a backup: "latest", "latest~N" (the box's in `store`),
    // else a folder (relative to DIR, `directory`). Null after saying why.
    static std::unique_ptr<DiffSide> LoadBackup(const std::string& side, const BackupStore& store,
                                                const BackupBox& box,
                                                const std::filesystem::path& directory,
                                                CliOutput& output);
    // Returns the process exit status.
    int Run(DiffSide& older, DiffSide& newer);

private:
    const CliOptions& options_;
    CliOutput& output_;
};
