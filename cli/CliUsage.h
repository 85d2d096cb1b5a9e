#pragma once
// What velqo-cli --help and --version print.
#include <string>

const char* CliUsage();
// Two lines: the program and its version, then the copyright.
std::string CliVersionText();
