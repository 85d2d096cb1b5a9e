#pragma once
// What a restore sends: the backup's files in manifest order, each name
// once, or only the names asked for. A front that compared first marks the
// files the box already holds as unchanged, and only the others are sent;
// what it could not compare it notes, so that a dry run does not guess.
#include <cstdint>
#include <string>
#include <vector>

#include "backup/FileReport.h"

class BackupContents;

struct PlannedFile {
    std::string name;
    std::string group;  // the first the manifest gives
    int32_t type = 0;
    bool named = false;      // asked for by name
    bool unchanged = false;  // the box holds the same bytes: not sent
    // Why the box's copy could not be compared (the link lost, the read
    // refused); empty when it was, or when no compare ran.
    std::string notCompared{};
};

class RestorePlan {
public:
    // `names`: empty for every file. False, with the first name the backup
    // does not hold, when one of `names` is not in its manifest.
    static bool Make(const BackupContents& backup, const std::vector<std::string>& names,
                     RestorePlan* out, std::string* notInBackup);

    const std::vector<PlannedFile>& Files() const { return files_; }
    // False when the plan holds no such name.
    bool MarkUnchanged(const std::string& name);
    // Takes a compare's result for one file: kSame marks it unchanged, kFailed
    // as not compared. False when the plan holds no such name.
    bool MarkCompared(const FileReport& compared);

private:
    std::vector<PlannedFile> files_;
};
