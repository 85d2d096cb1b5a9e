#pragma once
// `velqo-cli history [BOX]`: the box's backups in the store, newest first,
// one line each: when, the folder, complete or not, its files, and what
// changed since the complete backup before it. Needs no box.
#include <string>

#include "backup/BackupName.h"
#include "backup/BackupStore.h"
#include "cli/CliCommand.h"

struct CliContext;

class CliHistory : public CliCommand {
public:
    explicit CliHistory(const CliContext& context) : context_(context) {}
    // BOX, when given, as the store names a box.
    int Check() override;
    // 0, also for a box without backups.
    int Run(const CliBoxLink* box) override;

    // A box as the store names it ("HOST", "HOST+PORT"); false for any other text.
    static bool ParseStoreBox(const std::string& text, BackupBox* box);

private:
    // A box without backups: the same host's backups on other ports, named.
    void SayOtherPorts(const BackupStore& store, const BackupBox& box) const;

    const CliContext& context_;
    BackupBox named_;  // BOX when given
};
