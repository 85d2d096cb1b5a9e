#pragma once
// `velqo-cli backups`: the backup store's backups of one box, or of every
// box with --all, newest first: one line each (taken, box, files, state,
// folder) or, with --json, the document's "backups", with "latest" the
// box's newest complete one.
#include <filesystem>

#include "backup/BackupStore.h"

class CliOutput;

class CliBackups {
public:
    // `shownRoot`: the store's folder as the printed paths start.
    CliBackups(const BackupStore& store, std::filesystem::path shownRoot, CliOutput& output);
    // `box`: null for every box. Returns the process exit status.
    int Run(const BackupBox* box);

private:
    const BackupStore& store_;
    std::filesystem::path shownRoot_;
    CliOutput& output_;
};
