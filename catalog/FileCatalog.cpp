#include "catalog/FileCatalog.h"

#include <cstring>

namespace {

// Copies a name cut to its field, so that an unterminated name never overruns.
void CopyName(char* field, size_t width, const char* name) {
    const size_t n = strnlen(name, width - 1);
    std::memcpy(field, name, n);
    field[n] = '\0';
}

}  // namespace

FileCatalog::FileCatalog() {
    Clear();
}

void FileCatalog::Clear() {
    groupCount_ = 0;
    std::memset(groups_, 0, sizeof groups_);
}

void FileCatalog::AddEntry(const char* group, const char* file, int32_t type) {
    if (group == nullptr || file == nullptr) {
        return;
    }
    char key[kGroupNameSize];
    CopyName(key, sizeof key, group);
    for (int g = 0; g < groupCount_; ++g) {
        Group& existing = groups_[g];
        if (std::strcmp(existing.name, key) != 0) {
            continue;
        }
        if (existing.fileCount >= kMaxFiles) {
            return;
        }
        CopyName(existing.fileNames[existing.fileCount], kFileNameSize, file);
        existing.fileTypes[existing.fileCount] = type;
        ++existing.fileCount;
        return;
    }
    if (groupCount_ >= kMaxGroups) {
        return;
    }
    Group& added = groups_[groupCount_];
    CopyName(added.name, kGroupNameSize, key);
    CopyName(added.fileNames[0], kFileNameSize, file);
    added.fileTypes[0] = type;
    added.fileCount = 1;
    ++groupCount_;
}

int FileCatalog::FileCount(int group) const {
    return ValidGroup(group) ? groups_[group].fileCount : 0;
}

bool FileCatalog::GetGroupName(int group, char* out) const {
    if (!ValidGroup(group)) {
        return false;
    }
    std::memcpy(out, groups_[group].name, kGroupNameSize);
    return true;
}

bool FileCatalog::GetFile(int group, int file, char* out, int32_t* type) const {
    if (!ValidGroup(group) || file < 0 || file >= groups_[group].fileCount) {
        return false;
    }
    std::memcpy(out, groups_[group].fileNames[file], kFileNameSize);
    *type = groups_[group].fileTypes[file];
    return true;
}

int32_t FileCatalog::FindFileType(const char* name) const {
    if (name == nullptr) {
        return -1;
    }
    for (int g = 0; g < groupCount_; ++g) {
        for (int f = 0; f < groups_[g].fileCount; ++f) {
            if (std::strcmp(groups_[g].fileNames[f], name) == 0) {
                return groups_[g].fileTypes[f];
            }
        }
    }
    return -1;
}
