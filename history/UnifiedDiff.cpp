#include "history/UnifiedDiff.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "base/TextLines.h"
#include "history/LineMatcher.h"

namespace {

// A text cut into lines, each with its end ("\n") when it has one.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < text.size();) {
        lines.push_back(LineAt(text, at));
        at += lines.back().size();
    }
    return lines;
}

// One line of the diff: ' ', '-' or '+' and the line of its file.
struct Edit {
    char mark;
    std::string_view line;
    size_t oldLine;  // the old file's line at this point (next one for '+')
    size_t newLine;
};

std::vector<Edit> EditScript(std::vector<LineMatch> matches,
                             const std::vector<std::string_view>& oldLines,
                             const std::vector<std::string_view>& newLines) {
    matches.push_back({oldLines.size(), newLines.size()});  // the end of both
    std::vector<Edit> edits;
    size_t o = 0;
    size_t n = 0;
    for (const LineMatch& m : matches) {
        for (; o < m.oldLine; ++o) {
            edits.push_back({'-', oldLines[o], o, n});
        }
        for (; n < m.newLine; ++n) {
            edits.push_back({'+', newLines[n], o, n});
        }
        if (o < oldLines.size() && n < newLines.size()) {
            edits.push_back({' ', oldLines[o], o, n});
            ++o;
            ++n;
        }
    }
    return edits;
}

// "-START,COUNT" as diff writes it: a count of 1 is left out, and an empty
// range starts at the line before it.
std::string Range(char sign, size_t first, size_t count) {
    std::string text(1, sign);
    text += std::to_string(count == 0 ? first : first + 1);
    if (count != 1) {
        text += "," + std::to_string(count);
    }
    return text;
}

void AppendLine(std::string* out, char mark, std::string_view line) {
    out->push_back(mark);
    out->append(line);
    if (line.empty() || line.back() != '\n') {
        out->push_back('\n');
        out->append(UnifiedDiff::kNoNewline);
    }
}

}  // namespace

std::optional<std::string> UnifiedDiff::Make(std::string_view oldText, std::string_view newText,
                                             const std::string& oldLabel,
                                             const std::string& newLabel) {
    if (oldText == newText) {
        return "";
    }
    std::optional<std::vector<LineMatch>> matches = LineMatcher(oldText, newText).Run();
    if (!matches) {
        return std::nullopt;
    }
    const std::vector<std::string_view> oldLines = SplitLines(oldText);
    const std::vector<std::string_view> newLines = SplitLines(newText);
    const std::vector<Edit> edits = EditScript(std::move(*matches), oldLines, newLines);
    std::string out = "--- " + oldLabel + "\n+++ " + newLabel + "\n";
    const size_t context = kContextLines;
    size_t i = 0;
    while (i < edits.size()) {
        // The next change, and the hunk around it: changes whose common
        // lines between are no more than twice the context join one hunk.
        while (i < edits.size() && edits[i].mark == ' ') {
            ++i;
        }
        if (i == edits.size()) {
            break;
        }
        const size_t begin = i >= context ? i - context : 0;
        size_t end = i;
        size_t common = 0;
        for (size_t k = i; k < edits.size() && common <= 2 * context; ++k) {
            if (edits[k].mark == ' ') {
                ++common;
            } else {
                common = 0;
                end = k + 1;
            }
        }
        end = std::min(edits.size(), end + context);
        size_t oldCount = 0;
        size_t newCount = 0;
        for (size_t k = begin; k < end; ++k) {
            oldCount += edits[k].mark != '+' ? 1 : 0;
            newCount += edits[k].mark != '-' ? 1 : 0;
        }
        out += "@@ " + Range('-', edits[begin].oldLine, oldCount) + " " +
               Range('+', edits[begin].newLine, newCount) + " @@\n";
        for (size_t k = begin; k < end; ++k) {
            AppendLine(&out, edits[k].mark, edits[k].line);
        }
        i = end;
    }
    return out;
}
