#pragma once
// velqo-cli's commands, one row each: the word, the names it takes, how far
// it reaches (address, box), the class that runs it and its help. A new
// command is one row here and one CliCommand class.
#include <memory>
#include <span>
#include <string>

#include "cli/CliCommand.h"
#include "cli/CliOptions.h"

struct CliContext;

struct CliCommandRow {
    const char* word;
    CliOptions::Command command;
    // Takes the names after the word into `options` (restore's BACKUP, diff's
    // sides...); false with the mistake in `error`, before anything is read.
    bool (*takeNames)(const char* word, CliOptions* options, std::string* error);
    // How far the command reaches with these options.
    CliReach (*reach)(const CliOptions& options);
    // The class that runs it.
    std::unique_ptr<CliCommand> (*make)(const CliContext& context);
    // Help: the usage line after "[OPTION]... "; the description as --help's
    // command list shows it; one example of a whole command line.
    const char* usage;
    const char* description;
    const char* example;
};

// Every row, in the order --help shows them.
std::span<const CliCommandRow> CliCommandRows();
// The row of a command, or of its word; null for none.
const CliCommandRow* FindCommandRow(CliOptions::Command command);
const CliCommandRow* FindCommandRow(const std::string& word);
