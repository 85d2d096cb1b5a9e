#include "ui/flow/BackupShelf.h"

#include <system_error>

#include "backup/BackupFolder.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

// Manifest::Load reads only a regular file of a manifest's size at most.
bool ReadManifest(const fs::path& path, Manifest* manifest) {
    std::string error;
    return Manifest::Load(path.string(), manifest, &error);
}

std::string GroupedDigits(std::uintmax_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

}  // namespace

std::string BackupRow::TakenText() const {
    std::string text = name.TakenText();
    if (name.sequence > 1) {
        text += " (" + std::to_string(name.sequence) + ")";
    }
    return text;
}

std::string BackupRow::FilesText() const {
    return state.fileCount >= 0 ? std::to_string(state.fileCount) : "?";
}

std::string BackupRow::StateText() const {
    return state.Text();
}

std::vector<BackupRow> BackupShelf::List(const fs::path& root, const BackupBox& box) {
    std::vector<BackupRow> rows;
    for (StoredBackup& b : BackupStore(root).ListOf(box)) {
        rows.push_back({b.folder.filename().string(), std::move(b.name), b.state});
    }
    return rows;
}

std::vector<BackupFileRow> BackupShelf::Files(const fs::path& folder) {
    Manifest manifest;
    std::vector<BackupFileRow> rows;
    if (!ReadManifest(folder / BackupFolder::kManifestName, &manifest)) {
        return rows;
    }
    for (const ManifestEntry& entry : manifest.Entries()) {
        // The manifest's names are plain file names: they stay in the folder.
        const fs::path file = folder / entry.name;
        std::error_code ec;
        const bool there = fs::is_regular_file(file, ec);
        const std::uintmax_t size = there ? fs::file_size(file, ec) : 0;
        rows.push_back({entry.group, entry.name, there && !ec ? GroupedDigits(size) : "?"});
    }
    return rows;
}
