#pragma once
// The suggestion after a mistyped word ("lsit": did you mean "list"?), the
// same in every program and file that names what it knows.
#include <string>
#include <vector>

// The word of `known` nearest to `typed`, or empty when none is near enough
// to be what was meant ("lsit" -> "list"). A swap of two neighbours counts
// as one slip.
std::string NearestWord(const std::string& typed, const std::vector<std::string>& known);
