#include "history/LineMatcher.h"

#include <dtl/dtl.hpp>

#include <algorithm>
#include <string>
#include <unordered_map>

#include "base/TextLines.h"

namespace {

// Anchors within anchors go this deep; below, the library does it all.
constexpr int kMaxDepth = 8;

}  // namespace

LineMatcher::LineMatcher(std::string_view oldText, std::string_view newText) {
    // Numbers of 32 bits and no list of the lines themselves: a text of
    // millions of one-byte lines costs 4 bytes a line here.
    std::unordered_map<std::string_view, uint32_t> numbers;
    const auto numberAll = [&](std::string_view text, std::vector<uint32_t>* out) {
        out->reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        for (size_t at = 0; at < text.size();) {
            const std::string_view line = LineAt(text, at);
            at += line.size();
            out->push_back(
                numbers.emplace(line, static_cast<uint32_t>(numbers.size())).first->second);
        }
    };
    numberAll(oldText, &old_);
    numberAll(newText, &new_);
    oldCount_.assign(numbers.size(), 0);
    newCount_.assign(numbers.size(), 0);
    newPlace_.assign(numbers.size(), 0);
}

std::optional<std::vector<LineMatch>> LineMatcher::Run() {
    Range(0, old_.size(), 0, new_.size(), 0);
    if (tooDifferent_) {
        return std::nullopt;
    }
    return std::move(matches_);
}

void LineMatcher::Range(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd, int depth) {
    if (tooDifferent_) {
        return;
    }
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
        const std::vector<LineMatch> anchors =
            depth < kMaxDepth ? Anchors(oldBegin, oldEnd) : std::vector<LineMatch>();
        if (anchors.empty()) {
            Library(oldBegin, oldEnd, newBegin, newEnd);
            Count(oldBegin, oldEnd, newBegin, newEnd, -1);
        } else {
            Count(oldBegin, oldEnd, newBegin, newEnd, -1);
            size_t o = oldBegin;
            size_t n = newBegin;
            for (const LineMatch& anchor : anchors) {
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
void LineMatcher::Count(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd, int step) {
    for (size_t i = oldBegin; i < oldEnd; ++i) {
        oldCount_[old_[i]] += step;
    }
    for (size_t i = newBegin; i < newEnd; ++i) {
        newCount_[new_[i]] += step;
        newPlace_[new_[i]] = static_cast<uint32_t>(i);
    }
}

// The lines used once on each side, in old order, cut to the longest run
// that is in order on the new side too.
std::vector<LineMatch> LineMatcher::Anchors(size_t oldBegin, size_t oldEnd) const {
    std::vector<LineMatch> unique;
    for (size_t i = oldBegin; i < oldEnd; ++i) {
        if (oldCount_[old_[i]] == 1 && newCount_[old_[i]] == 1) {
            unique.push_back({i, newPlace_[old_[i]]});
        }
    }
    // Longest increasing subsequence by new line (patience sorting).
    std::vector<size_t> tops;  // per length, the index in `unique` that ends it
    std::vector<size_t> before(unique.size());
    for (size_t k = 0; k < unique.size(); ++k) {
        const auto pile =
            std::lower_bound(tops.begin(), tops.end(), unique[k].newLine,
                             [&](size_t top, size_t line) { return unique[top].newLine < line; });
        before[k] = pile == tops.begin() ? k : *(pile - 1);
        if (pile == tops.end()) {
            tops.push_back(k);
        } else {
            *pile = k;
        }
    }
    std::vector<LineMatch> anchors(tops.size());
    for (size_t k = tops.empty() ? 0 : tops.back(), n = tops.size(); n > 0; k = before[k]) {
        anchors[--n] = unique[k];
    }
    return anchors;
}

// The diff library on a range, without the lines the other side lacks.
// Its lists are made only once the edit distance is known to be within
// the budget: a range of millions of lines that is too different costs
// nothing more than its numbers.
void LineMatcher::Library(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd) {
    std::vector<uint32_t> oldSearched;
    std::vector<uint32_t> newSearched;
    const Numbers oldNumbers = Searched(old_, oldBegin, oldEnd, newCount_, &oldSearched);
    const Numbers newNumbers = Searched(new_, newBegin, newEnd, oldCount_, &newSearched);
    if (oldNumbers.empty() || newNumbers.empty()) {
        return;
    }
    // Within the budget the library's paths stay small (about half the
    // square of the edit distance), so it needs no cap of its own on them.
    if (!Spend(oldNumbers, newNumbers)) {
        tooDifferent_ = true;
        return;
    }
    std::vector<size_t> oldIndex;  // line of the k-th searched one
    std::vector<size_t> newIndex;
    const auto index = [](const std::vector<uint32_t>& lines, size_t begin, size_t end,
                          const std::vector<uint32_t>& otherCount, std::vector<size_t>* out) {
        for (size_t i = begin; i < end; ++i) {
            if (otherCount[lines[i]] > 0) {
                out->push_back(i);
            }
        }
    };
    index(old_, oldBegin, oldEnd, newCount_, &oldIndex);
    index(new_, newBegin, newEnd, oldCount_, &newIndex);
    dtl::Diff<uint32_t> diff(std::vector<uint32_t>(oldNumbers.begin(), oldNumbers.end()),
                             std::vector<uint32_t>(newNumbers.begin(), newNumbers.end()));
    diff.compose();
    for (const auto& [element, info] : diff.getSes().getSequence()) {
        if (info.type == dtl::SES_COMMON) {
            // The library counts from 1.
            matches_.push_back({oldIndex[static_cast<size_t>(info.beforeIdx - 1)],
                                newIndex[static_cast<size_t>(info.afterIdx - 1)]});
        }
    }
}

// The numbers of a range's lines that the other side holds too: the range
// itself when it is every line, else a list of them made in `searched`.
LineMatcher::Numbers LineMatcher::Searched(const std::vector<uint32_t>& lines, size_t begin,
                                           size_t end, const std::vector<uint32_t>& otherCount,
                                           std::vector<uint32_t>* searched) {
    size_t held = 0;
    for (size_t i = begin; i < end; ++i) {
        held += otherCount[lines[i]] > 0 ? 1 : 0;
    }
    if (held == end - begin) {
        return Numbers(lines).subspan(begin, end - begin);
    }
    searched->reserve(held);
    for (size_t i = begin; i < end; ++i) {
        if (otherCount[lines[i]] > 0) {
            searched->push_back(lines[i]);
        }
    }
    return *searched;
}

bool LineMatcher::Spend(Numbers a, Numbers b) {
    // Myers' greedy search of the edit graph, diagonal by diagonal, kept
    // only as far as the budget reaches: its memory is two numbers per
    // diagonal, its time the cells it visits, about the square of the budget.
    const auto n = static_cast<long long>(a.size());
    const auto m = static_cast<long long>(b.size());
    const auto limit = static_cast<long long>(std::min<size_t>(budget_, a.size() + b.size()));
    const long long offset = limit + 1;
    std::vector<long long> reach(static_cast<size_t>(2 * limit + 3), 0);  // x per diagonal
    for (long long d = 0; d <= limit; ++d) {
        for (long long k = -d; k <= d; k += 2) {
            const long long below = reach[static_cast<size_t>(k - 1 + offset)];
            const long long above = reach[static_cast<size_t>(k + 1 + offset)];
            long long x = k == -d || (k != d && below < above) ? above : below + 1;
            long long y = x - k;
            while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) {
                ++x;
                ++y;
            }
            reach[static_cast<size_t>(k + offset)] = x;
            if (x >= n && y >= m) {
                budget_ -= static_cast<size_t>(d);
                return true;
            }
        }
    }
    return false;
}
