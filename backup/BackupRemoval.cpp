#include "backup/BackupRemoval.h"

#include <algorithm>
#include <system_error>

#include "backup/BackupFolder.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRemovalNote =
    "This backup is being removed (velqo-cli backup --keep); what is left of it is not a "
    "backup.\n";

}  // namespace

BackupRemoval::Result BackupRemoval::Remove(const fs::path& folder) {
    foreign_.clear();
    why_.clear();
    // The manifest is read before anything changes: it says what is the backup's.
    std::string text;
    Manifest manifest;
    if (!Manifest::Read(folder / BackupFolder::kManifestName, &text, &why_) ||
        !Manifest::Parse(text, &manifest, &why_)) {
        why_ = std::string(BackupFolder::kManifestName) + ": " + why_;
        return Result::kFailed;
    }
    if (!BackupFolder::WriteText(folder, BackupFolder::kIncompleteName, kRemovalNote)) {
        why_ = std::string("cannot write ") + BackupFolder::kIncompleteName;
        return Result::kFailed;
    }
    // The box's files first, the two that say what they were last.
    std::vector<std::string> made;
    for (const ManifestEntry& e : manifest.Entries()) {
        if (!BackupFolder::IsOwnFileName(e.name) &&
            std::find(made.begin(), made.end(), e.name) == made.end()) {
            made.push_back(e.name);
        }
    }
    made.push_back(BackupFolder::kChecksumsName);
    made.push_back(BackupFolder::kManifestName);
    bool failed = false;
    std::error_code ec;
    for (const std::string& name : made) {
        // Only the regular file the backup saved; a link or folder in its place is not its.
        if (fs::symlink_status(folder / name, ec).type() != fs::file_type::regular) {
            continue;
        }
        if (!fs::remove(folder / name, ec) && ec) {
            why_ = "cannot remove " + name + ": " + ec.message();
            failed = true;
            break;
        }
    }
    // INCOMPLETE stays on a failure: the folder then stays incomplete.
    if (failed) {
        return Result::kFailed;
    }
    if (!fs::remove(folder / BackupFolder::kIncompleteName, ec) && ec) {
        why_ = std::string("cannot remove ") + BackupFolder::kIncompleteName + ": " + ec.message();
        return Result::kFailed;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        foreign_.push_back(it->path().filename().string());
    }
    if (ec) {
        why_ = "cannot read the folder: " + ec.message();
        return Result::kFailed;
    }
    if (!foreign_.empty()) {
        std::sort(foreign_.begin(), foreign_.end());
        return Result::kKeptForeign;
    }
    if (!fs::remove(folder, ec)) {
        why_ = "cannot remove the empty folder: " + ec.message();
        return Result::kFailed;
    }
    return Result::kRemoved;
}
