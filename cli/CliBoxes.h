#pragma once
// `velqo-cli boxes`: every box of the backup store at a glance, one line
// each: the box (HOST:PORT), its backups, the newest complete one and how
// old it is, what changed in it, and the newest incomplete one and why.
// Needs no box.
#include "cli/CliCommand.h"

struct CliContext;

class CliBoxes : public CliCommand {
public:
    explicit CliBoxes(const CliContext& context) : context_(context) {}
    // 0, also for an empty store.
    int Run(const CliBoxLink* box) override;

private:
    const CliContext& context_;
};
