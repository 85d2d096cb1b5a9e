#include "history/UnifiedDiff.h"

#include <dtl/dtl.hpp>

#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// A text cut into lines, each with its end ("\n") when it has one.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// A line of one file matched with the same line of the other.
struct Match {
    size_t oldLine;
    size_t newLine;
};

// Finds the lines two texts have in common, in order. Lines are numbered by
// content first, so that everything after compares numbers. Within a range
// the common head and tail match at once; then lines that occur exactly once
// on either side anchor the match (the longest run of them in the same order
// on both sides), as git's patience diff does, so that a moved block costs
// no more than an edited one; what lies between anchors is matched by the
// diff library, without the lines that occur in only one of the two (they
// cannot match), so that a rewritten file is as quick as an edited one.
class LineMatcher {
public:
    LineMatcher(const std::vector<std::string_view>& oldLines,
                const std::vector<std::string_view>& newLines) {
        std::unordered_map<std::string_view, size_t> numbers;
        numbers.reserve(oldLines.size() + newLines.size());
        const auto number = [&](std::string_view line) {
            return numbers.emplace(line, numbers.size()).first->second;
        };
        for (std::string_view line : oldLines) {
            old_.push_back(number(line));
        }
        for (std::string_view line : newLines) {
            new_.push_back(number(line));
        }
        oldCount_.assign(numbers.size(), 0);
        newCount_.assign(numbers.size(), 0);
        newPlace_.assign(numbers.size(), 0);
    }

    std::vector<Match> Run() {
        Range(0, old_.size(), 0, new_.size(), 0);
        return std::move(matches_);
    }

private:
    // Anchors within anchors go this deep; below, the library does it all.
    static constexpr int kMaxDepth = 8;

    void Range(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd, int depth) {
        while (oldBegin < oldEnd && newBegin < newEnd && old_[oldBegin] == new_[newBegin]) {
            matches_.push_back({oldBegin++, newBegin++});
        }
        size_t tail = 0;
        while (oldBegin < oldEnd - tail && newBegin < newEnd - tail &&
               old_[oldEnd - tail - 1] == new_[newEnd - tail - 1]) {
            ++tail;
        }
        oldEnd -= tail;
        newEnd -= tail;
        if (oldBegin < oldEnd && newBegin < newEnd) {
            Count(oldBegin, oldEnd, newBegin, newEnd, 1);
            const std::vector<Match> anchors =
                depth < kMaxDepth ? Anchors(oldBegin, oldEnd) : std::vector<Match>();
            if (anchors.empty()) {
                Library(oldBegin, oldEnd, newBegin, newEnd);
                Count(oldBegin, oldEnd, newBegin, newEnd, -1);
            } else {
                Count(oldBegin, oldEnd, newBegin, newEnd, -1);
                size_t o = oldBegin;
                size_t n = newBegin;
                for (const Match& anchor : anchors) {
                    Range(o, anchor.oldLine, n, anchor.newLine, depth + 1);
                    matches_.push_back(anchor);
                    o = anchor.oldLine + 1;
                    n = anchor.newLine + 1;
                }
                Range(o, oldEnd, n, newEnd, depth + 1);
            }
        }
        for (size_t t = tail; t > 0; --t) {
            matches_.push_back({oldEnd + tail - t, newEnd + tail - t});
        }
    }

    // Adds `step` to the uses of each line of the range on its side.
    void Count(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd, int step) {
        for (size_t i = oldBegin; i < oldEnd; ++i) {
            oldCount_[old_[i]] += step;
        }
        for (size_t i = newBegin; i < newEnd; ++i) {
            newCount_[new_[i]] += step;
            newPlace_[new_[i]] = i;
        }
    }

    // The lines used once on each side, in old order, cut to the longest
    // run that is in order on the new side too.
    std::vector<Match> Anchors(size_t oldBegin, size_t oldEnd) const {
        std::vector<Match> unique;
        for (size_t i = oldBegin; i < oldEnd; ++i) {
            if (oldCount_[old_[i]] == 1 && newCount_[old_[i]] == 1) {
                unique.push_back({i, newPlace_[old_[i]]});
            }
        }
        // Longest increasing subsequence by new line (patience sorting).
        std::vector<size_t> tops;  // per length, the index in `unique` that ends it
        std::vector<size_t> before(unique.size());
        for (size_t k = 0; k < unique.size(); ++k) {
            const auto pile = std::lower_bound(
                tops.begin(), tops.end(), unique[k].newLine,
                [&](size_t top, size_t line) { return unique[top].newLine < line; });
            before[k] = pile == tops.begin() ? k : *(pile - 1);
            if (pile == tops.end()) {
                tops.push_back(k);
            } else {
                *pile = k;
            }
        }
        std::vector<Match> anchors(tops.size());
        for (size_t k = tops.empty() ? 0 : tops.back(), n = tops.size(); n > 0; k = before[k]) {
            anchors[--n] = unique[k];
        }
        return anchors;
    }

    // The diff library on a range, without the lines the other side lacks.
    void Library(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd) {
        std::vector<long long> oldSearched;
        std::vector<size_t> oldIndex;  // line of oldSearched[k]
        for (size_t i = oldBegin; i < oldEnd; ++i) {
            if (newCount_[old_[i]] > 0) {
                oldSearched.push_back(static_cast<long long>(old_[i]));
                oldIndex.push_back(i);
            }
        }
        std::vector<long long> newSearched;
        std::vector<size_t> newIndex;
        for (size_t i = newBegin; i < newEnd; ++i) {
            if (oldCount_[new_[i]] > 0) {
                newSearched.push_back(static_cast<long long>(new_[i]));
                newIndex.push_back(i);
            }
        }
        if (oldSearched.empty() || newSearched.empty()) {
            return;
        }
        dtl::Diff<long long> diff(oldSearched, newSearched);
        diff.onHuge();  // bounded memory for long ranges
        diff.compose();
        for (const auto& [element, info] : diff.getSes().getSequence()) {
            if (info.type == dtl::SES_COMMON) {
                // The library counts from 1.
                matches_.push_back({oldIndex[static_cast<size_t>(info.beforeIdx - 1)],
                                    newIndex[static_cast<size_t>(info.afterIdx - 1)]});
            }
        }
    }

    std::vector<size_t> old_;  // each line's number
    std::vector<size_t> new_;
    std::vector<size_t> oldCount_;  // per number: uses in the range at hand
    std::vector<size_t> newCount_;
    std::vector<size_t> newPlace_;  // per number: its (last) line on the new side
    std::vector<Match> matches_;
};

// One line of the diff: ' ', '-' or '+' and the line of its file.
struct Edit {
    char mark;
    std::string_view line;
    size_t oldLine;  // the old file's line at this point (next one for '+')
    size_t newLine;
};

std::vector<Edit> EditScript(const std::vector<std::string_view>& oldLines,
                             const std::vector<std::string_view>& newLines) {
    std::vector<Match> matches = LineMatcher(oldLines, newLines).Run();
    matches.push_back({oldLines.size(), newLines.size()});  // the end of both
    std::vector<Edit> edits;
    size_t o = 0;
    size_t n = 0;
    for (const Match& m : matches) {
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

std::string UnifiedDiff::Make(std::string_view oldText, std::string_view newText,
                              const std::string& oldLabel, const std::string& newLabel) {
    if (oldText == newText) {
        return "";
    }
    const std::vector<std::string_view> oldLines = SplitLines(oldText);
    const std::vector<std::string_view> newLines = SplitLines(newText);
    const std::vector<Edit> edits = EditScript(oldLines, newLines);
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
