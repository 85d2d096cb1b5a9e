// Feeds arbitrary backup folders to the reader that restore and compare use
// (BackupContents::Load). An input is a backup folder's two lists: its first
// two bytes (little-endian) give the length of manifest.txt, which follows,
// and the rest is SHA256SUMS. Both are written into a fresh folder, with every
// other name SHA256SUMS lists as a file holding its own name (as the seed
// backups' files do), so that accepted backups are reached too. Besides what
// the sanitizers catch, it checks that an accepted backup lists only plain
// box file names, each with a checksum, and that a refusal says why.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include "backup/BackupContents.h"
#include "backup/BackupFolder.h"
#include "backup/ChecksumList.h"
#include "box/PlainFileName.h"

namespace fs = std::filesystem;

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "velqo_fuzz_backup: %s\n", what);
        std::fflush(stderr);
        std::abort();
    }
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One folder for the whole run, emptied before every input, removed at exit.
struct RunFolder {
    fs::path path = fs::temp_directory_path() / ("velqo-fuzz-backup-" + std::to_string(getpid()));
    RunFolder() { fs::create_directories(path); }
    ~RunFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

const fs::path& Folder() {
    static const RunFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const size_t manifestSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    const std::string manifest(reinterpret_cast<const char*>(data + 2), manifestSize);
    const std::string sums(reinterpret_cast<const char*>(data + 2 + manifestSize),
                           size - 2 - manifestSize);
    const fs::path& folder = Folder();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        fs::remove_all(entry.path(), ec);
    }
    Write(folder / BackupFolder::kManifestName, manifest);
    Write(folder / BackupFolder::kChecksumsName, sums);
    ChecksumList listed;
    std::string error;
    if (ChecksumList::Parse(sums, &listed, &error)) {
        for (const ChecksumLine& line : listed.Lines()) {
            if (!BackupFolder::IsOwnFileName(line.name)) {
                Write(folder / line.name, line.name);
            }
        }
    }

    BackupContents backup;
    switch (backup.Load(folder, nullptr)) {
        case BackupContents::Check::kOk:
            for (const ManifestEntry& e : backup.Entries().Entries()) {
                Expect(IsPlainFileName(e.name.c_str()) && e.name.find('\0') == std::string::npos,
                       "an accepted backup lists a name that is not plain");
                Expect(!BackupFolder::IsOwnFileName(e.name),
                       "an accepted backup lists one of its own files");
                Expect(backup.Sums().Find(e.name) != nullptr,
                       "an accepted backup lists a file without a checksum");
            }
            Expect(backup.Failing().empty(), "an accepted backup has failing files");
            break;
        case BackupContents::Check::kUnusable:
            Expect(backup.ErrorFile() == BackupFolder::kManifestName ||
                       backup.ErrorFile() == BackupFolder::kChecksumsName,
                   "an unusable backup names none of its lists");
            Expect(!backup.Error().empty(), "an unusable backup without a reason");
            break;
        case BackupContents::Check::kDamaged:
            Expect(!backup.Failing().empty(), "a damaged backup names no file");
            break;
    }
    return 0;
}
