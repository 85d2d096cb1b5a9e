#pragma once
// What velqo-cli --help and --version print.
#include <string>

#include "cli/CliOptions.h"

const char* CliUsage();
// help COMMAND: the command's usage line, what it does, its own options and
// an example; the whole help for no command.
std::string CliCommandUsage(CliOptions::Command command);
// Two lines: the program and its version, then the copyright.
std::string CliVersionText();
