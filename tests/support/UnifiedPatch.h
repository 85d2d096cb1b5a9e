#pragma once
// A unified diff applied to the text it was made from, as `patch` applies
// one, but strict: every context and removed line must be the old text's
// own at its place, every hunk's counts must hold, hunks come in order, and
// "\ No newline at end of file" takes the line end from the line before it.
// What the diff's tests and its fuzz target check each diff against.
#include <optional>
#include <string>
#include <string_view>

// The new text; none, with the reason in `why`, when the diff does not
// apply to `oldText` exactly.
std::optional<std::string> ApplyUnifiedDiff(std::string_view oldText, std::string_view diff,
                                            std::string* why);
