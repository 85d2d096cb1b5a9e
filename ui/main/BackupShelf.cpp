#include "ui/main/BackupShelf.h"

#include <algorithm>
#include <system_error>
#include <tuple>

#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

// A manifest lists at most 28 files: anything much larger is no manifest of
// ours and is not read into memory.
constexpr std::uintmax_t kMaxManifestBytes = 64 * 1024;

BackupManifest ReadManifest(const fs::path& path, Manifest* manifest) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return BackupManifest::kMissing;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    std::string error;
    if (ec || size > kMaxManifestBytes || !Manifest::Load(path.string(), manifest, &error)) {
        return BackupManifest::kUnreadable;
    }
    return BackupManifest::kRead;
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
    const std::string& s = name.stamp;
    std::string text = s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " +
                       s.substr(8, 2) + ":" + s.substr(10, 2) + ":" + s.substr(12, 2);
    if (name.sequence > 1) {
        text += " (" + std::to_string(name.sequence) + ")";
    }
    return text;
}

std::string BackupRow::FilesText() const {
    return manifest == BackupManifest::kRead ? std::to_string(fileCount) : "?";
}

std::string BackupRow::StateText() const {
    if (incomplete) {
        return "incomplete";
    }
    switch (manifest) {
        case BackupManifest::kMissing:
            return "no manifest";
        case BackupManifest::kUnreadable:
            return "damaged manifest";
        case BackupManifest::kRead:
            break;
    }
    return "";
}

std::vector<BackupRow> BackupShelf::List(const fs::path& root) {
    std::vector<BackupRow> rows;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        BackupRow row;
        row.folder = it->path().filename().string();
        std::error_code entryError;
        if (!it->is_directory(entryError) ||
            !BackupFolder::ParseFolderName(row.folder, &row.name)) {
            continue;
        }
        Manifest manifest;
        row.manifest = ReadManifest(it->path() / BackupFolder::kManifestName, &manifest);
        row.fileCount = static_cast<int>(manifest.Entries().size());
        row.incomplete = fs::exists(it->path() / BackupFolder::kIncompleteName, entryError);
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const BackupRow& a, const BackupRow& b) {
        // Newest first; backups of one moment by host, so the order never varies.
        return std::tie(b.name.stamp, b.name.sequence, a.name.host) <
               std::tie(a.name.stamp, a.name.sequence, b.name.host);
    });
    return rows;
}

std::vector<BackupFileRow> BackupShelf::Files(const fs::path& folder) {
    Manifest manifest;
    std::vector<BackupFileRow> rows;
    if (ReadManifest(folder / BackupFolder::kManifestName, &manifest) != BackupManifest::kRead) {
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
