#include "history/UnifiedDiff.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "base/TextLines.h"
#include "history/LineMatcher.h"

namespace {

// A text read forward line by line, from any line on.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    // Moves on to line `line` (never back).
    void SkipTo(size_t line) {
        while (line_ < line) {
            Next();
        }
    }
    // The line at hand, with its end; the cursor moves past it.
    std::string_view Next() {
        const std::string_view line = LineAt(text_, at_);
        at_ += line.size();
        ++line_;
        return line;
    }

private:
    std::string_view text_;
    size_t at_ = 0;
    size_t line_ = 0;
};

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

size_t LineCount(std::string_view text) {
    const auto ends = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    return ends + (text.empty() || text.back() == '\n' ? 0 : 1);
}

}  // namespace

std::optional<std::string> UnifiedDiff::Make(std::string_view oldText, std::string_view newText,
                                             const std::string& oldLabel,
                                             const std::string& newLabel) {
    if (oldText == newText) {
        return "";
    }
    std::optional<std::vector<LineRun>> matched = LineMatcher(oldText, newText).Run();
    if (!matched) {
        return std::nullopt;
    }
    // The runs of common lines, and an empty one at the end of both: the
    // changes are the gaps before each run. Gap g lies between run g - 1
    // and run g.
    std::vector<LineRun>& runs = *matched;
    runs.push_back({LineCount(oldText), LineCount(newText), 0});
    const auto gapOld = [&](size_t g) {
        return g == 0 ? 0 : runs[g - 1].oldLine + runs[g - 1].length;
    };
    const auto gapNew = [&](size_t g) {
        return g == 0 ? 0 : runs[g - 1].newLine + runs[g - 1].length;
    };
    const auto changes = [&](size_t g) {
        return gapOld(g) < runs[g].oldLine || gapNew(g) < runs[g].newLine;
    };
    const size_t context = kContextLines;
    LineCursor oldLines(oldText);
    LineCursor newLines(newText);
    std::string out = "--- " + oldLabel + "\n+++ " + newLabel + "\n";
    for (size_t g = 0; g < runs.size(); ++g) {
        if (!changes(g)) {
            continue;
        }
        // The hunk: this change and those after it whose common lines
        // between are no more than twice the context.
        size_t last = g;
        for (size_t next = g + 1; next < runs.size(); ++next) {
            if (!changes(next)) {
                continue;
            }
            if (runs[next - 1].length > 2 * context) {
                break;
            }
            last = next;
        }
        const size_t before = g == 0 ? 0 : std::min(context, runs[g - 1].length);
        const size_t after = std::min(context, runs[last].length);
        const size_t oldBegin = gapOld(g) - before;
        const size_t newBegin = gapNew(g) - before;
        const size_t oldEnd = runs[last].oldLine + after;
        const size_t newEnd = runs[last].newLine + after;
        out += "@@ " + Range('-', oldBegin, oldEnd - oldBegin) + " " +
               Range('+', newBegin, newEnd - newBegin) + " @@\n";
        oldLines.SkipTo(oldBegin);
        newLines.SkipTo(newBegin);
        size_t o = oldBegin;
        size_t n = newBegin;
        for (size_t k = g; k <= last; ++k) {
            // The common lines up to the change, then the change.
            for (; o < gapOld(k); ++o, ++n) {
                AppendLine(&out, ' ', oldLines.Next());
                newLines.Next();
            }
            for (; o < runs[k].oldLine; ++o) {
                AppendLine(&out, '-', oldLines.Next());
            }
            for (; n < runs[k].newLine; ++n) {
                AppendLine(&out, '+', newLines.Next());
            }
        }
        for (; o < oldEnd; ++o, ++n) {
            AppendLine(&out, ' ', oldLines.Next());
            newLines.Next();
        }
        g = last;
    }
    return out;
}
