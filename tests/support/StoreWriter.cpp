#include "tests/support/StoreWriter.h"

#include "backup/BackupFolder.h"
#include "backup/ChecksumList.h"
#include "backup/Sha256.h"
#include "catalog/Manifest.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Sha256Hex(const std::string& bytes) {
    Sha256 sha;
    Sha256::Digest digest;
    sha.Update(bytes.data(), bytes.size());
    sha.Finish(&digest);
    return Sha256::Hex(digest);
}

}  // namespace

fs::path WriteStoredBackup(const fs::path& store, const BackupName& name,
                           const std::vector<StoredFile>& files, bool incomplete) {
    const fs::path folder = store / name.Format();
    fs::create_directories(folder);
    std::vector<ManifestEntry> entries;
    std::vector<ChecksumLine> sums;
    for (const StoredFile& f : files) {
        WriteFile((folder / f.name).string(), f.bytes);
        entries.push_back({f.group, f.name, f.type});
        sums.push_back({Sha256Hex(f.bytes), f.name});
    }
    const std::string manifest = Manifest::Format(entries);
    WriteFile((folder / BackupFolder::kManifestName).string(), manifest);
    sums.push_back({Sha256Hex(manifest), BackupFolder::kManifestName});
    WriteFile((folder / BackupFolder::kChecksumsName).string(), ChecksumList::Format(sums));
    if (incomplete) {
        WriteFile((folder / BackupFolder::kIncompleteName).string(), "broken off\n");
    }
    return folder;
}

BackupName StoredName(const std::string& host, const std::string& stamp, int sequence, int port) {
    BackupName name;
    name.box = BackupBox::Of(host, port);
    name.stamp = stamp;
    name.sequence = sequence;
    return name;
}
