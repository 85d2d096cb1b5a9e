#pragma once
// The lines two texts have in common, in order: what a line diff keeps.
// Lines are compared byte for byte with their ends. The common head and
// tail match at once; then lines that occur exactly once on either side
// anchor the match (the longest run of them in the same order on both
// sides), as git's patience diff does, so that a moved block costs no more
// than an edited one; what lies between anchors is matched by Myers' diff,
// without the lines that occur in only one of the two (they cannot match),
// so that a rewritten file is as quick as an edited one.
//
// That last step costs time and memory that grow with the square of the
// lines added and removed there, so it is bounded: texts whose lines
// between anchors differ by more than kMaxEditDistance lines added and
// removed (in all) are too different to match, and nothing more is spent
// on them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A line of one text matched with the same line of the other (from 0).
struct LineMatch {
    size_t oldLine;
    size_t newLine;
};

// Lines in a row matched with lines in a row: a million equal lines cost
// one of these, not a million matches.
struct LineRun {
    size_t oldLine;
    size_t newLine;
    size_t length;
};

class LineMatcher {
public:
    static constexpr size_t kMaxEditDistance = 1000;

    LineMatcher(std::string_view oldText, std::string_view newText);

    // The matched lines in order, in runs; none when the texts are too different.
    std::optional<std::vector<LineRun>> Run();

private:
    using Numbers = std::span<const uint32_t>;

    void Range(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd, int depth);
    void Count(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd, int step);
    std::vector<LineMatch> Anchors(size_t oldBegin, size_t oldEnd) const;
    void MatchBetween(size_t oldBegin, size_t oldEnd, size_t newBegin, size_t newEnd);
    static Numbers Searched(const std::vector<uint32_t>& lines, size_t begin, size_t end,
                            const std::vector<uint32_t>& otherCount,
                            std::vector<uint32_t>* searched);
    // The lines `a` and `b` have in common (positions in each, in order,
    // in runs, added to `common`), their edit distance spent from the budget; false,
    // and nothing spent, when it is larger than what is left.
    bool Spend(Numbers a, Numbers b, std::vector<LineRun>* common);
    // A match, or `length` of them in a row, after those found so far.
    void Add(size_t oldLine, size_t newLine, size_t length = 1);

    std::vector<uint32_t> old_;  // each line's number: equal lines, equal numbers
    std::vector<uint32_t> new_;
    std::vector<uint32_t> oldCount_;  // per number: uses in the range at hand
    std::vector<uint32_t> newCount_;
    std::vector<uint32_t> newPlace_;  // per number: its (last) line on the new side
    std::vector<LineRun> matches_;
    size_t budget_ = kMaxEditDistance;  // what Myers' diff may still add and remove
    bool tooDifferent_ = false;
};
