#pragma once
// What the backups dialog can show as a text file's unified diff, without
// any window: which two versions of a file row are set side by side (the
// box's copy that a compare found different beside the selected backup's,
// or the selected backup's beside the complete backup before it), and the diff's
// lines each with its kind, so that the view tells added from removed.
#include <string>
#include <string_view>
#include <vector>

enum class DiffSource { kNone, kBoxCopy, kPreviousBackup };

// What is known of one row of the files list.
struct DiffRowFacts {
    bool inBackup = false;              // the selected backup's manifest names it
    bool textType = false;              // of the box's text type
    bool comparedDiffers = false;       // the last compare found the box's copy different
    bool boxCopyKept = false;           // and kept that copy (a text file, not too large)
    bool previousHolds = false;         // the complete backup before the selected one names it
    bool changedSincePrevious = false;  // their checksums differ, or one is not known
};

enum class DiffLineKind { kHeader, kHunk, kAdded, kRemoved, kContext, kNote };

struct DiffLine {
    DiffLineKind kind = DiffLineKind::kContext;
    std::string text;  // without its line end; a CR that ended it shown as kCrMark
};

class DiffViewRules {
public:
    // How a carriage return at the end of a line shows, so that a line
    // whose CR LF became LF is seen to differ.
    static constexpr const char* kCrMark = "<CR>";

    // A changed text file of the backup: against the box's copy once a
    // compare found them different, else against the backup before.
    static DiffSource SourceFor(const DiffRowFacts& row);
    // The unified diff's lines: its two header lines, hunk headers, added,
    // removed and context lines, and the note of a missing last newline.
    static std::vector<DiffLine> Lines(std::string_view unified);
};
