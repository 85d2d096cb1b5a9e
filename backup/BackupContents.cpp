#include "backup/BackupContents.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "backup/BackupFolder.h"
#include "backup/Sha256.h"
#include "backup/WholeBoxReport.h"

namespace fs = std::filesystem;

namespace {

bool ReadWhole(const fs::path& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    *text = bytes.str();
    return true;
}

}  // namespace

BackupContents::Check BackupContents::Load(const fs::path& folder, WholeBoxReport* report) {
    folder_ = folder;
    std::string text;
    const auto unusable = [&](const char* file, const std::string& why) {
        errorFile_ = file;
        error_ = why;
        return Check::kUnusable;
    };
    if (!ReadWhole(folder / BackupFolder::kManifestName, &text)) {
        return unusable(BackupFolder::kManifestName, "cannot be read");
    }
    if (!Manifest::Parse(text, &manifest_, &error_)) {
        return unusable(BackupFolder::kManifestName, error_);
    }
    if (!ReadWhole(folder / BackupFolder::kChecksumsName, &text)) {
        return unusable(BackupFolder::kChecksumsName, "cannot be read");
    }
    if (!ChecksumList::Parse(text, &sums_, &error_)) {
        return unusable(BackupFolder::kChecksumsName, error_);
    }
    const auto fail = [&](const std::string& name, const char* why) {
        if (report != nullptr) {
            FileReport file{name};
            file.result = FileResult::kFailed;
            file.message = why;
            report->FileDone(file);
        }
        failing_.push_back(name);
    };
    // Every file against its checksum, and every listed file must have one.
    for (const ChecksumLine& line : sums_.Lines()) {
        std::string hex;
        if (!Sha256::OfFile(PathOf(line.name).string(), &hex)) {
            fail(line.name, "missing or unreadable");
        } else if (hex != line.hex) {
            fail(line.name, "its checksum does not match");
        }
    }
    for (const ManifestEntry& e : manifest_.Entries()) {
        bool known = sums_.Find(e.name) != nullptr;
        for (const std::string& f : failing_) {
            known = known || f == e.name;
        }
        if (!known) {
            fail(e.name, "listed in the manifest but has no checksum");
        }
    }
    std::error_code ec;
    incomplete_ = fs::exists(folder / BackupFolder::kIncompleteName, ec);
    return failing_.empty() ? Check::kOk : Check::kDamaged;
}
