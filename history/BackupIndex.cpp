#include "history/BackupIndex.h"

#include "backup/BackupFolder.h"

bool BackupIndex::Load(const std::filesystem::path& folder, std::string* why) {
    std::string text;
    if (!Manifest::Read(folder / BackupFolder::kManifestName, &text, why) ||
        !Manifest::Parse(text, &manifest_, why)) {
        *why = std::string(BackupFolder::kManifestName) + ": " + *why;
        return false;
    }
    if (!ChecksumList::Load(folder / BackupFolder::kChecksumsName, &sums_, why)) {
        *why = std::string(BackupFolder::kChecksumsName) + ": " + *why;
        return false;
    }
    return true;
}

std::string BackupIndex::ChecksumOf(const std::string& name) const {
    const ChecksumLine* line = sums_.Find(name);
    return line == nullptr ? std::string() : line->hex;
}
