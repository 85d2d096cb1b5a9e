#pragma once
// Why a file of a diff shows no lines, in the words every front shows
// (velqo-cli's diff and its document's `shown`, the window's status line).
// Without a capital or a full stop; a front adds its own.
#include <string>

#include "history/FileDiff.h"

class DiffWords {
public:
    // A changed file: "too different to show line by line: 10 -> 12 bytes,
    // first difference at byte 3", or "binary: ..." when not text; empty when
    // its lines are shown. Any other file: why it failed, or its state's word.
    static std::string NoLines(const FileDifference& file);
};
