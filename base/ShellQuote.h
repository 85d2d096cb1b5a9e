#pragma once
// Words of a command line shown for the user to run again.
#include <string>
#include <string_view>

// `text` in single quotes as a POSIX shell reads it back: each ' inside
// becomes '\'' (end the quote, an escaped quote, quote again).
std::string SingleQuoted(std::string_view text);
