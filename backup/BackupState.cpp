#include "backup/BackupState.h"

#include <set>
#include <system_error>

#include "backup/BackupFolder.h"
#include "backup/ChecksumList.h"
#include "base/RegularFile.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

BackupState BackupState::Of(const fs::path& folder) {
    BackupState state;
    std::error_code ec;
    if (fs::symlink_status(folder, ec).type() != fs::file_type::directory) {
        return state;
    }
    // INCOMPLETE of any kind, even a link of that name, says so; what the
    // manifest holds is still counted.
    const bool marked = fs::symlink_status(folder / BackupFolder::kIncompleteName, ec).type() !=
                        fs::file_type::not_found;
    std::string text;
    std::string error;
    Manifest manifest;
    if (KindOfFile(folder / BackupFolder::kManifestName, LinkRule::kRefuse) == FileKind::kMissing) {
        state.kind = marked ? Kind::kMarkedIncomplete : Kind::kNoManifest;
        return state;
    }
    if (!Manifest::Read(folder / BackupFolder::kManifestName, &text, &error) ||
        !Manifest::Parse(text, &manifest, &error)) {
        state.kind = marked ? Kind::kMarkedIncomplete : Kind::kDamagedManifest;
        return state;
    }
    state.fileCount = static_cast<int>(manifest.Entries().size());
    if (marked) {
        state.kind = Kind::kMarkedIncomplete;
        return state;
    }
    // SHA256SUMS names each file of the manifest once, and the manifest.
    std::set<std::string> expected{BackupFolder::kManifestName};
    for (const ManifestEntry& e : manifest.Entries()) {
        expected.insert(e.name);
    }
    ChecksumList sums;
    std::set<std::string> listed;
    if (ChecksumList::Load(folder / BackupFolder::kChecksumsName, &sums, &error)) {
        for (const ChecksumLine& line : sums.Lines()) {
            listed.insert(line.name);
        }
    }
    state.kind = listed == expected ? Kind::kComplete : Kind::kDamagedChecksums;
    return state;
}

const char* BackupState::Text() const {
    switch (kind) {
        case Kind::kComplete:
            return "complete";
        case Kind::kNotAFolder:
            return "not a folder";
        case Kind::kMarkedIncomplete:
            return "incomplete";
        case Kind::kNoManifest:
            return "no manifest";
        case Kind::kDamagedManifest:
            return "damaged manifest";
        case Kind::kDamagedChecksums:
            return "damaged checksums";
    }
    return "";
}
