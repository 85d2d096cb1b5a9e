#include "tests/support/UnifiedPatch.h"

#include <cstdio>
#include <vector>

#include "base/TextLines.h"

namespace {

constexpr std::string_view kNoNewline = "\\ No newline at end of file\n";

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < text.size();) {
        lines.push_back(LineAt(text, at));
        at += lines.back().size();
    }
    return lines;
}

// "@@ -A[,B] +C[,D] @@": an omitted count is 1.
bool ParseHunk(std::string_view line, long* oldStart, long* oldCount, long* newStart,
               long* newCount) {
    const std::string text(line);
    *oldCount = 1;
    *newCount = 1;
    int used = 0;
    if (std::sscanf(text.c_str(), "@@ -%ld,%ld +%ld,%ld @@%n", oldStart, oldCount, newStart,
                    newCount, &used) == 4 &&
        used > 0) {
        return true;
    }
    *oldCount = 1;
    *newCount = 1;
    used = 0;
    if (std::sscanf(text.c_str(), "@@ -%ld +%ld,%ld @@%n", oldStart, newStart, newCount, &used) ==
            3 &&
        used > 0) {
        return true;
    }
    used = 0;
    if (std::sscanf(text.c_str(), "@@ -%ld,%ld +%ld @@%n", oldStart, oldCount, newStart, &used) ==
            3 &&
        used > 0) {
        return true;
    }
    used = 0;
    return std::sscanf(text.c_str(), "@@ -%ld +%ld @@%n", oldStart, newStart, &used) == 2 &&
           used > 0;
}

}  // namespace

std::optional<std::string> ApplyUnifiedDiff(std::string_view oldText, std::string_view diff,
                                            std::string* why) {
    const std::vector<std::string_view> old = Lines(oldText);
    const std::vector<std::string_view> lines = Lines(diff);
    if (lines.empty()) {
        return std::string(oldText);
    }
    if (lines.size() < 3 || !lines[0].starts_with("--- ") || !lines[1].starts_with("+++ ")) {
        *why = "no headers";
        return std::nullopt;
    }
    std::string out;
    size_t next = 0;   // the old text's next line not yet copied
    long written = 0;  // lines of the new text so far
    size_t k = 2;
    while (k < lines.size()) {
        long oldStart = 0;
        long oldCount = 0;
        long newStart = 0;
        long newCount = 0;
        if (!ParseHunk(lines[k], &oldStart, &oldCount, &newStart, &newCount)) {
            *why = "not a hunk header: " + std::string(lines[k]);
            return std::nullopt;
        }
        ++k;
        // An empty old range names the line before it.
        const long first = oldCount == 0 ? oldStart : oldStart - 1;
        if (first < static_cast<long>(next) || first > static_cast<long>(old.size())) {
            *why = "a hunk out of order or place";
            return std::nullopt;
        }
        for (; next < static_cast<size_t>(first); ++next) {
            out += old[next];
            ++written;
        }
        if ((newCount == 0 ? newStart : newStart - 1) != written) {
            *why = "a hunk's new start does not hold";
            return std::nullopt;
        }
        long oldSeen = 0;
        long newSeen = 0;
        while (k < lines.size() && !lines[k].starts_with("@@")) {
            const char mark = lines[k].front();
            std::string_view body = lines[k].substr(1);
            ++k;
            if (k < lines.size() && lines[k] == kNoNewline) {
                body = WithoutLineEnd(body);
                ++k;
            }
            if (mark == '+') {
                out += body;
                ++newSeen;
                ++written;
                continue;
            }
            if ((mark != ' ' && mark != '-') || next >= old.size() || old[next] != body) {
                *why = "line " + std::to_string(next + 1) + " of the old text is not the diff's";
                return std::nullopt;
            }
            if (mark == ' ') {
                out += body;
                ++newSeen;
                ++written;
            }
            ++oldSeen;
            ++next;
        }
        if (oldSeen != oldCount || newSeen != newCount) {
            *why = "a hunk's counts do not hold";
            return std::nullopt;
        }
    }
    for (; next < old.size(); ++next) {
        out += old[next];
    }
    return out;
}
