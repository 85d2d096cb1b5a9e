#include "backup/BackupContents.h"

#include "backup/BackupFolder.h"
#include "backup/Sha256.h"
#include "backup/WholeBoxReport.h"
#include "base/RegularFile.h"

namespace fs = std::filesystem;

namespace {

// Why a file of the backup cannot be checked, from what its path is.
const char* Unusable(FileKind kind) {
    switch (kind) {
        case FileKind::kLink:
            return "a symbolic link, not a file of the backup; never followed";
        case FileKind::kFolder:
            return "a folder, not a file";
        case FileKind::kSpecial:
            return "a FIFO or device, not a regular file; never opened";
        default:
            break;
    }
    return "missing or unreadable";
}

}  // namespace

BackupContents::Check BackupContents::Load(const fs::path& folder, WholeBoxReport* report) {
    *this = BackupContents();
    folder_ = folder;
    const auto unusable = [&](const char* file, const std::string& why) {
        errorFile_ = file;
        error_ = why;
        return Check::kUnusable;
    };
    std::string manifestText;
    if (!Manifest::Read(folder / BackupFolder::kManifestName, &manifestText, &error_) ||
        !Manifest::Parse(manifestText, &manifest_, &error_)) {
        return unusable(BackupFolder::kManifestName, error_);
    }
    if (!ChecksumList::Load(folder / BackupFolder::kChecksumsName, &sums_, &error_)) {
        return unusable(BackupFolder::kChecksumsName, error_);
    }
    const auto fail = [&](const std::string& name, const char* why) {
        if (report != nullptr) {
            FileReport file{name};
            // A listed file keeps its group and type, so that every front
            // can place it beside the box's.
            if (const ManifestEntry* listed = manifest_.Find(name)) {
                file.group = listed->group;
                file.type = listed->type;
            }
            file.result = FileResult::kFailed;
            file.message = why;
            report->FileDone(file);
        }
        failing_.push_back(name);
    };
    const auto failing = [&](const std::string& name) {
        for (const std::string& f : failing_) {
            if (f == name) {
                return true;
            }
        }
        return false;
    };
    // Every file against its checksum; the manifest as it was read and
    // parsed, so that what is checked is what is used. The backup's other
    // own files are never box files.
    FileKind kind = FileKind::kMissing;
    for (const ChecksumLine& line : sums_.Lines()) {
        std::string hex;
        if (line.name == BackupFolder::kManifestName) {
            hex = Sha256::OfBytes(manifestText);
        } else if (BackupFolder::IsOwnFileName(line.name)) {
            fail(line.name, "its name is that of one of the backup's own files");
            continue;
        } else if (!Sha256::OfFile(PathOf(line.name), &hex, &kind)) {
            fail(line.name, Unusable(kind));
            continue;
        }
        if (hex != line.hex) {
            fail(line.name, "its checksum does not match");
        }
    }
    // Every listed file must have a checksum, and be a box file.
    for (const ManifestEntry& e : manifest_.Entries()) {
        if (failing(e.name)) {
            continue;
        }
        if (BackupFolder::IsOwnFileName(e.name)) {
            fail(e.name, "its name is that of one of the backup's own files");
        } else if (sums_.Find(e.name) == nullptr) {
            kind = KindOfFile(PathOf(e.name), LinkRule::kRefuse);
            fail(e.name, kind == FileKind::kRegular || kind == FileKind::kMissing
                             ? "listed in the manifest but has no checksum"
                             : Unusable(kind));
        }
    }
    incomplete_ =
        KindOfFile(folder / BackupFolder::kIncompleteName, LinkRule::kRefuse) != FileKind::kMissing;
    return failing_.empty() ? Check::kOk : Check::kDamaged;
}
