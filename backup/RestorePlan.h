#pragma once
// What a restore sends: the backup's files in manifest order, each name
// once, or only the names asked for. A front that compared first marks the
// files the box already holds as unchanged, and only the others are sent.
#include <cstdint>
#include <string>
#include <vector>

class BackupContents;

struct PlannedFile {
    std::string name;
    std::string group;  // the first the manifest gives
    int32_t type = 0;
    bool named = false;      // asked for by name
    bool unchanged = false;  // the box holds the same bytes: not sent
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

private:
    std::vector<PlannedFile> files_;
};
