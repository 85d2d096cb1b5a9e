#pragma once
// Two sides (backups, or a backup and the box) compared file by file: the
// files of the newer side in its order, then those only the older one has.
// A file both sides hold with the same known checksum is the same without
// being read; any other is read from both and set side by side (FileDiff).
#include <vector>

#include "history/FileDiff.h"

class DiffSide;

class BackupDiff {
public:
    // `namesOnly`: the states without the diffs' text.
    static std::vector<FileDifference> Run(DiffSide& older, DiffSide& newer, bool namesOnly);
    // Whether every file is the same.
    static bool AllSame(const std::vector<FileDifference>& files);
};
