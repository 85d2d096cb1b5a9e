#pragma once
// Two versions of a text file as a unified diff, as `diff -u` and git write
// one: "--- OLD" and "+++ NEW" headers, hunks of changed lines with three
// lines of context, "\ No newline at end of file" after a last line that
// lacks one. Lines are compared byte for byte with their ends, so a line
// whose CR LF became LF is a changed line, and its CR stays in the text.
#include <optional>
#include <string>
#include <string_view>

class UnifiedDiff {
public:
    static constexpr int kContextLines = 3;
    static constexpr const char* kNoNewline = "\\ No newline at end of file\n";

    // The diff of `oldText` to `newText` under the two header labels; empty
    // when the texts are the same, none when they are too different to be
    // matched line by line within LineMatcher's bound.
    static std::optional<std::string> Make(std::string_view oldText, std::string_view newText,
                                           const std::string& oldLabel,
                                           const std::string& newLabel);
};
