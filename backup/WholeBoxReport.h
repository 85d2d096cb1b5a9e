#pragma once
// How a whole-box operation (backup, restore, compare, a backup's check)
// tells its front what it does, file by file, as it goes. The session's own
// log lines and transfer percentages still come through its sinks.
#include <string>

#include "backup/FileReport.h"

class WholeBoxReport {
public:
    virtual ~WholeBoxReport() = default;

    // Before file `index` (1-based) of `count` is worked on.
    virtual void FileStarting(int /*index*/, int /*count*/, const std::string& /*name*/) {}
    // Once per file, as soon as its result is known.
    virtual void FileDone(const FileReport& file) = 0;
    // Asked before each file: true ends the operation there, so that a front
    // that is asked to stop stops between files (the files not reached are
    // not reported).
    virtual bool StopRequested() { return false; }
};
