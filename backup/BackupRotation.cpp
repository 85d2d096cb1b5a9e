#include "backup/BackupRotation.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "backup/BackupFolder.h"

namespace fs = std::filesystem;

namespace {

// "-YYYYMMDD-HHMMSS", the time stamp's place at the end of a folder name.
constexpr size_t kStampLength = 16;
// "-N" after a stamp: BackupFolder counts at most to kMaxFolderAttempts.
constexpr size_t kMaxSuffixDigits = 3;

bool Digits(const std::string& text, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

bool EndsWithStamp(const std::string& text) {
    if (text.size() <= kStampLength) {
        return false;
    }
    const size_t at = text.size() - kStampLength;
    return text[at] == '-' && Digits(text, at + 1, 8) && text[at + 9] == '-' &&
           Digits(text, at + 10, 6);
}

bool IsKind(const fs::path& path, fs::file_type type) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == type;
}

// A complete backup: the folder itself, its manifest and checksums, and no
// INCOMPLETE of any kind (a link named so counts as one).
bool IsCompleteBackup(const fs::path& folder) {
    std::error_code ec;
    const bool incomplete = fs::symlink_status(folder / BackupFolder::kIncompleteName, ec).type() !=
                            fs::file_type::not_found;
    return IsKind(folder, fs::file_type::directory) && !incomplete &&
           IsKind(folder / BackupFolder::kManifestName, fs::file_type::regular) &&
           IsKind(folder / BackupFolder::kChecksumsName, fs::file_type::regular);
}

}  // namespace

bool BackupRotation::ParseName(const std::string& name, std::string* stem, std::string* order) {
    std::string stamped = name;
    std::string suffix = "1";
    if (!EndsWithStamp(stamped)) {
        const size_t dash = name.rfind('-');
        if (dash == std::string::npos || dash + 1 == name.size() ||
            name.size() - dash - 1 > kMaxSuffixDigits ||
            !Digits(name, dash + 1, name.size() - dash - 1)) {
            return false;
        }
        stamped = name.substr(0, dash);
        suffix = name.substr(dash + 1);
        if (!EndsWithStamp(stamped)) {
            return false;
        }
    }
    *stem = stamped.substr(0, stamped.size() - kStampLength);
    // The stamp sorts as text; the suffix as a number, padded to its widest.
    *order = stamped.substr(stamped.size() - kStampLength) +
             std::string(kMaxSuffixDigits - suffix.size(), '0') + suffix;
    return true;
}

BackupRotation::Outcome BackupRotation::Prune(const fs::path& made, int keep) {
    Outcome outcome;
    std::string stem;
    std::string order;
    if (keep < 1 || !ParseName(made.filename().string(), &stem, &order)) {
        return outcome;
    }
    std::vector<std::pair<std::string, fs::path>> older;
    std::error_code ec;
    for (fs::directory_iterator it(made.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path& folder = it->path();
        std::string otherStem;
        if (folder.filename() != made.filename() &&
            ParseName(folder.filename().string(), &otherStem, &order) && otherStem == stem &&
            IsCompleteBackup(folder)) {
            older.emplace_back(order, folder);
        }
    }
    if (ec) {
        outcome.failed.push_back({made.parent_path(), ec.message()});
        return outcome;
    }
    std::sort(older.begin(), older.end());
    const size_t others = static_cast<size_t>(keep - 1);
    const size_t surplus = older.size() > others ? older.size() - others : 0;
    for (size_t i = 0; i < surplus; ++i) {
        const fs::path& folder = older[i].second;
        fs::remove_all(folder, ec);
        if (ec) {
            outcome.failed.push_back({folder, ec.message()});
        } else {
            outcome.removed.push_back(folder);
        }
    }
    return outcome;
}
