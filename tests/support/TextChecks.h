#pragma once
// Checks on what programs print, the same on Linux and under Windows.
#include <string>

// Windows text mode writes CR LF; this gives the text with LF ends to compare.
std::string Lf(const std::string& text);
bool Contains(const std::string& text, const std::string& part);
// The text up to its first line end.
std::string FirstLine(const std::string& text);
// Text as an edit control shows it: every line ending in CR LF.
std::string CrLf(const std::string& text);
