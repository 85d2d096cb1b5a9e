#pragma once
// The box's files by group, as the list reply gave them: at most 20 groups of
// at most 28 files, in one fixed block. Entries beyond that are dropped.
#include <cstddef>
#include <cstdint>

#include "box/WireFormat.h"

class FileCatalog {
public:
    static constexpr int kMaxGroups = 20;
    // A list reply holds no more files, and its fields no longer names.
    static constexpr int kMaxFiles = static_cast<int>(wire::kMaxListRecords);
    static constexpr size_t kGroupNameSize = wire::kGroupNameSize;
    static constexpr size_t kFileNameSize = wire::kNameFieldSize;
    // The type of a text file, which the window shows and a diff shows by line.
    static constexpr int32_t kTextType = 1;

    FileCatalog();

    void Clear();
    void AddEntry(const char* group, const char* file, int32_t type);
    int GroupCount() const { return groupCount_; }
    int FileCount(int group) const;
    // The out texts need room for 16 (group) or 32 (file) bytes.
    bool GetGroupName(int group, char* out) const;
    bool GetFile(int group, int file, char* out, int32_t* type) const;
    // Type of the first file with exactly that name; -1 when there is none.
    int32_t FindFileType(const char* name) const;

private:
    struct Group {
        int32_t fileCount;
        char name[kGroupNameSize];
        char fileNames[kMaxFiles][kFileNameSize];
        int32_t fileTypes[kMaxFiles];
    };

    bool ValidGroup(int group) const { return group >= 0 && group < groupCount_; }

    int32_t groupCount_;
    Group groups_[kMaxGroups];
};
