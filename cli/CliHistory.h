#pragma once
// `velqo-cli history [BOX]`: the box's backups in the store, newest first,
// one line each: when, the folder, complete or not, its files, and what
// changed since the complete backup before it. Needs no box.
#include "backup/BackupStore.h"

class CliOutput;

class CliHistory {
public:
    CliHistory(const BackupStore& store, BackupBox box, CliOutput& output);
    // Returns the process exit status: 0, also for a box without backups.
    int Run();

private:
    const BackupStore& store_;
    BackupBox box_;
    CliOutput& output_;
};
