#pragma once
// `velqo-cli backups`: the backup store's backups of one box, or of every
// box with --all, newest first: one line each (taken, box, files, state,
// folder) or, with --json, the document's "backups", with "latest" the
// box's newest complete one.
#include "cli/CliCommand.h"

struct CliContext;

class CliBackups : public CliCommand {
public:
    explicit CliBackups(const CliContext& context) : context_(context) {}
    int Run(const CliBoxLink* box) override;

private:
    const CliContext& context_;
};
