#include "ui/flow/DiffViewRules.h"

#include "base/TextLines.h"

namespace {

// "--- OLD" and "+++ NEW" open a diff; later such lines are a removed
// "-- ..." or an added "++ ...".
constexpr size_t kHeaderLines = 2;

DiffLineKind KindOf(std::string_view line, size_t index) {
    if (index < kHeaderLines && (line.starts_with("--- ") || line.starts_with("+++ "))) {
        return DiffLineKind::kHeader;
    }
    if (line.starts_with("@@")) {
        return DiffLineKind::kHunk;
    }
    switch (line.empty() ? ' ' : line.front()) {
        case '+':
            return DiffLineKind::kAdded;
        case '-':
            return DiffLineKind::kRemoved;
        case '\\':
            return DiffLineKind::kNote;
        default:
            return DiffLineKind::kContext;
    }
}

}  // namespace

DiffSource DiffViewRules::SourceFor(const DiffRowFacts& row) {
    if (!row.inBackup || !row.textType) {
        return DiffSource::kNone;
    }
    if (row.comparedDiffers) {
        return row.boxCopyKept ? DiffSource::kBoxCopy : DiffSource::kNone;
    }
    return row.previousHolds && row.changedSincePrevious ? DiffSource::kPreviousBackup
                                                         : DiffSource::kNone;
}

std::vector<DiffLine> DiffViewRules::Lines(std::string_view unified) {
    std::vector<DiffLine> lines;
    for (size_t at = 0; at < unified.size();) {
        const std::string_view withEnd = LineAt(unified, at);
        at += withEnd.size();
        const std::string_view line = WithoutLineEnd(withEnd);
        DiffLine shown{KindOf(line, lines.size()), std::string(line)};
        if (line.ends_with('\r')) {
            shown.text.pop_back();
            shown.text += kCrMark;
        }
        lines.push_back(std::move(shown));
    }
    return lines;
}
