#include "history/BackupDiff.h"

#include <optional>
#include <string_view>

#include "catalog/FileCatalog.h"
#include "history/DiffSide.h"

namespace {

const ManifestEntry* Find(const std::vector<ManifestEntry>& files, const std::string& name) {
    for (const ManifestEntry& e : files) {
        if (e.name == name) {
            return &e;
        }
    }
    return nullptr;
}

FileDifference Failed(const std::string& name, const DiffSide& side, const std::string& why) {
    FileDifference file;
    file.name = name;
    file.state = DiffState::kFailed;
    file.problem = side.Label() + ": " + why;
    return file;
}

// A file of both sides, read from each only when the checksums do not tell.
FileDifference Both(DiffSide& older, DiffSide& newer, const ManifestEntry& before,
                    const ManifestEntry& after, bool namesOnly) {
    const std::string sum = newer.ChecksumOf(after.name);
    FileDifference file;
    file.name = after.name;
    if (!sum.empty() && sum == older.ChecksumOf(after.name)) {
        return file;
    }
    std::string oldBytes;
    std::string newBytes;
    std::string why;
    if (!older.Read(before.name, &oldBytes, &why)) {
        return Failed(after.name, older, why);
    }
    if (!newer.Read(after.name, &newBytes, &why)) {
        return Failed(after.name, newer, why);
    }
    const bool text = before.type == FileCatalog::kTextType || after.type == FileCatalog::kTextType;
    return FileDiff::Compare(after.name, text, std::string_view(oldBytes),
                             std::string_view(newBytes), older.Label(), newer.Label(), !namesOnly);
}

}  // namespace

std::vector<FileDifference> BackupDiff::Run(DiffSide& older, DiffSide& newer, bool namesOnly) {
    std::vector<FileDifference> files;
    // Each name once: a box may list a name twice.
    const auto done = [&](const std::string& name) {
        for (const FileDifference& f : files) {
            if (f.name == name) {
                return true;
            }
        }
        return false;
    };
    for (const ManifestEntry& after : newer.Files()) {
        if (done(after.name)) {
            continue;
        }
        const ManifestEntry* before = Find(older.Files(), after.name);
        if (before != nullptr) {
            files.push_back(Both(older, newer, *before, after, namesOnly));
        } else {
            FileDifference file;
            file.name = after.name;
            file.state = DiffState::kAdded;
            files.push_back(file);
        }
    }
    for (const ManifestEntry& before : older.Files()) {
        if (!done(before.name)) {
            FileDifference file;
            file.name = before.name;
            file.state = DiffState::kRemoved;
            files.push_back(file);
        }
    }
    return files;
}

bool BackupDiff::AllSame(const std::vector<FileDifference>& files) {
    for (const FileDifference& f : files) {
        if (f.state != DiffState::kSame) {
            return false;
        }
    }
    return true;
}
