#pragma once
// The line ends a text file came with, so that text shown with CR LF ends
// (the edit control's) goes back to the file as it was: LF stays LF, CR LF
// stays CR LF. A file of mixed ends keeps the ends most of its lines had; on
// a tie, the end of its first line. A lone CR is part of a line, as the
// edit control shows it. A file whose last line has no end keeps none; an
// empty file, or text not loaded from a file, is written with CR LF ends,
// its last line ended.
#include <cstddef>
#include <string>
#include <string_view>

class LineEnds {
public:
    enum class Style { kCrLf, kLf };

    // Counts the ends of the file's bytes, given piece by piece in order.
    void Count(std::string_view piece);

    Style LineStyle() const;
    bool LastLineEnded() const;
    // `shown` (lines joined by CR LF, the last one's end added or not) as
    // the file is to hold it.
    std::string Restore(std::string_view shown) const;

private:
    size_t crLf_ = 0;
    size_t lf_ = 0;
    Style first_ = Style::kCrLf;  // the first line's end, once there is one
    bool lastEnds_ = true;        // the last byte counted ends a line, or none was counted
    bool heldCr_ = false;         // the last byte counted was a CR
};
