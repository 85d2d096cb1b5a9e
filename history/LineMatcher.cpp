#include "history/LineMatcher.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "base/TextLines.h"

namespace {

// Anchors within anchors go this deep; below, Myers' diff does it all.
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

std::optional<std::vector<LineRun>> LineMatcher::Run() {
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
        Add(oldBegin++, newBegin++);
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
            MatchBetween(oldBegin, oldEnd, newBegin, newEnd);
            Count(oldBegin, oldEnd, newBegin, newEnd, -1);
        } else {
            Count(oldBegin, oldEnd, newBegin, newEnd, -1);
            size_t o = oldBegin;
            size_t n = newBegin;
            for (const LineMatch& anchor : anchors) {
                Range(o, anchor.oldLine, n, anchor.newLine, depth + 1);
                Add(anchor.oldLine, anchor.newLine);
                o = anchor.oldLine + 1;
                n = anchor.newLine + 1;
            }
            Range(o, oldEnd, n, newEnd, depth + 1);
        }
    }
    if (tail > 0) {
        Add(oldEnd, newEnd, tail);
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

// Myers' diff on a range, without the lines the other side lacks.
void LineMatcher::MatchBetween(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd) {
    std::vector<uint32_t> oldSearched;
    std::vector<uint32_t> newSearched;
    const Numbers oldNumbers = Searched(old_, oldBegin, oldEnd, newCount_, &oldSearched);
    const Numbers newNumbers = Searched(new_, newBegin, newEnd, oldCount_, &newSearched);
    if (oldNumbers.empty() || newNumbers.empty()) {
        return;
    }
    std::vector<LineRun> common;  // positions in the searched lines
    if (!Spend(oldNumbers, newNumbers, &common)) {
        tooDifferent_ = true;
        return;
    }
    // Back to lines of the texts: the searched ones are the range's lines
    // that the other side holds, in order.
    const auto lineOf = [](const std::vector<uint32_t>& lines, size_t begin, size_t end,
                           const std::vector<uint32_t>& otherCount, bool whole) {
        std::vector<size_t> index;
        if (!whole) {
            for (size_t i = begin; i < end; ++i) {
                if (otherCount[lines[i]] > 0) {
                    index.push_back(i);
                }
            }
        }
        return index;
    };
    const std::vector<size_t> oldIndex =
        lineOf(old_, oldBegin, oldEnd, newCount_, oldSearched.empty());
    const std::vector<size_t> newIndex =
        lineOf(new_, newBegin, newEnd, oldCount_, newSearched.empty());
    for (const LineRun& run : common) {
        if (oldIndex.empty() && newIndex.empty()) {
            Add(oldBegin + run.oldLine, newBegin + run.newLine, run.length);
            continue;
        }
        for (size_t i = 0; i < run.length; ++i) {
            const size_t o = run.oldLine + i;
            const size_t n = run.newLine + i;
            Add(oldIndex.empty() ? oldBegin + o : oldIndex[o],
                newIndex.empty() ? newBegin + n : newIndex[n]);
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

void LineMatcher::Add(size_t oldLine, size_t newLine, size_t length) {
    if (!matches_.empty()) {
        LineRun& last = matches_.back();
        if (last.oldLine + last.length == oldLine && last.newLine + last.length == newLine) {
            last.length += length;
            return;
        }
    }
    matches_.push_back({oldLine, newLine, length});
}

bool LineMatcher::Spend(Numbers a, Numbers b, std::vector<LineRun>* common) {
    // Myers' greedy search of the edit graph: after d edits, the furthest x
    // reached on each diagonal k = x - y. Only as far as the budget reaches,
    // the time the cells visited. A first search keeps the last d alone
    // (memory of the budget's size) to find the distance; only a distance
    // within the budget is searched again keeping every d, so that the
    // path can be walked back (memory about the square of the distance).
    const auto n = static_cast<long long>(a.size());
    const auto m = static_cast<long long>(b.size());
    const auto limit = static_cast<long long>(std::min<size_t>(budget_, a.size() + b.size()));
    // d's diagonals -d..d at d * d; 32 bits a diagonal, as no text the
    // diff takes has 2^31 lines.
    std::vector<int32_t> reached;
    bool keep = false;  // every d, not only the last
    const auto at = [&](long long d, long long k) -> int32_t& {
        return reached[static_cast<size_t>(keep ? d * d + k + d : k + limit + 1)];
    };
    // Where diagonal k starts after d edits, from d - 1's reach: one line
    // removed (from k - 1) or added (from k + 1), whichever goes further
    // within the graph; -1 when neither does.
    const auto start = [&](long long d, long long k, bool* removed) {
        long long x = d == 0 ? 0 : -1;
        if (d > 0 && k - 1 >= -(d - 1)) {
            const long long before = at(d - 1, k - 1);
            if (before >= 0 && before + 1 <= n) {
                x = before + 1;
                *removed = true;
            }
        }
        if (d > 0 && k + 1 <= d - 1) {
            const long long before = at(d - 1, k + 1);
            if (before >= 0 && before - k <= m && before > x) {
                x = before;
                *removed = false;
            }
        }
        return x;
    };
    const auto search = [&](long long most) {
        for (long long d = 0; d <= most; ++d) {
            if (keep) {
                reached.resize(static_cast<size_t>((d + 1) * (d + 1)), -1);
            }
            for (long long k = -d; k <= d; k += 2) {
                bool removed = false;
                long long x = start(d, k, &removed);
                at(d, k) = -1;
                if (x < 0) {
                    continue;
                }
                long long y = x - k;
                while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) {
                    ++x;
                    ++y;
                }
                at(d, k) = static_cast<int32_t>(x);
                if (x == n && y == m) {
                    return d;
                }
            }
        }
        return -1LL;
    };
    reached.assign(static_cast<size_t>(2 * limit + 3), -1);
    const long long distance = search(limit);
    if (distance < 0) {
        return false;
    }
    keep = true;
    reached.clear();
    reached.reserve(static_cast<size_t>((distance + 1) * (distance + 1)));
    search(distance);
    budget_ -= static_cast<size_t>(distance);
    // Walked back: each edit's snake of matched lines, from the end.
    const size_t first = common->size();
    long long x = n;
    long long y = m;
    for (long long d = distance; d >= 0; --d) {
        const long long k = x - y;
        bool removed = false;
        const long long begin = start(d, k, &removed);
        if (x > begin) {
            common->push_back({static_cast<size_t>(begin), static_cast<size_t>(begin - k),
                               static_cast<size_t>(x - begin)});
        }
        if (d > 0) {
            x = removed ? begin - 1 : begin;
            y = x - (removed ? k - 1 : k + 1);
        }
    }
    std::reverse(common->begin() + static_cast<long>(first), common->end());
    return true;
}
