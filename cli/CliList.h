#pragma once
// `velqo-cli list`: one line per file on the box, GROUP<TAB>NAME<TAB>TYPE,
// control characters escaped; with --json the document's "files".
#include "cli/CliCommand.h"

struct CliContext;

class CliList : public CliCommand {
public:
    explicit CliList(const CliContext& context) : context_(context) {}
    int Run(const CliBoxLink* box) override;

private:
    const CliContext& context_;
};
