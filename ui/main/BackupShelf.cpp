#include "ui/main/BackupShelf.h"

#include <algorithm>
#include <regex>
#include <system_error>
#include <tuple>

#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

// A manifest lists at most 28 files: anything much larger is no manifest of
// ours and is not read into memory.
constexpr std::uintmax_t kMaxManifestBytes = 64 * 1024;
constexpr int kMaxSequence = 9999;

int Digits(const std::string& text, size_t at, size_t count) {
    return std::stoi(text.substr(at, count));
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsRealDateTime(const std::string& stamp) {
    constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = Digits(stamp, 0, 4);
    const int month = Digits(stamp, 4, 2);
    const int day = Digits(stamp, 6, 2);
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    const int days = kDaysIn[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    // A leap second is written as second 60.
    return day <= days && Digits(stamp, 8, 2) <= 23 && Digits(stamp, 10, 2) <= 59 &&
           Digits(stamp, 12, 2) <= 60;
}

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

bool BackupShelf::ParseFolderName(const std::string& folder, BackupFolderName* out) {
    // The host as the backup wrote it: letters, digits, '.', '-' and '_'.
    static const std::regex kPattern(
        "([A-Za-z0-9._-]+)-([0-9]{8})-([0-9]{6})(?:-([1-9][0-9]{0,3}))?");
    std::smatch match;
    if (!std::regex_match(folder, match, kPattern)) {
        return false;
    }
    const std::string stamp = match[2].str() + match[3].str();
    const int sequence = match[4].matched ? std::stoi(match[4].str()) : 1;
    // A second backup of the same second is numbered from 2.
    if (!IsRealDateTime(stamp) || (match[4].matched && sequence < 2) || sequence > kMaxSequence) {
        return false;
    }
    *out = {match[1].str(), stamp, sequence};
    return true;
}

std::vector<BackupRow> BackupShelf::List(const fs::path& root) {
    std::vector<BackupRow> rows;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        BackupRow row;
        row.folder = it->path().filename().string();
        std::error_code entryError;
        if (!it->is_directory(entryError) || !ParseFolderName(row.folder, &row.name)) {
            continue;
        }
        Manifest manifest;
        row.manifest = ReadManifest(it->path() / kManifestName, &manifest);
        row.fileCount = static_cast<int>(manifest.Entries().size());
        row.incomplete = fs::exists(it->path() / kIncompleteName, entryError);
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
    if (ReadManifest(folder / kManifestName, &manifest) != BackupManifest::kRead) {
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
