// Feeds arbitrary folder names to the backup folder-name grammar, as a store
// someone filled may hold them. Besides what the sanitizers catch, it checks
// that a name read holds only what the grammar allows and that writing it
// gives back the very name read, so that no two folders are one backup.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backup/BackupName.h"

namespace {

constexpr int kMaxPort = 65535;
constexpr size_t kStampDigits = 14;

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "velqo_fuzz_backup_name: %s\n", what);
        std::fflush(stderr);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string folder(reinterpret_cast<const char*>(data), size);
    BackupName name;
    if (!BackupName::Parse(folder, &name)) {
        return 0;
    }
    Expect(!name.box.host.empty(), "a name read without a host");
    Expect(name.box.port >= 1 && name.box.port <= kMaxPort, "a port out of range");
    Expect(name.sequence >= 1 && name.sequence <= BackupName::kMaxSequence,
           "a sequence out of range");
    Expect(name.stamp.size() == kStampDigits &&
               name.stamp.find_first_not_of("0123456789") == std::string::npos,
           "a stamp that is not 14 digits");
    Expect(name.Format() == folder, "a name read does not write back as it was");
    BackupName again;
    Expect(BackupName::Parse(name.Format(), &again), "a written name does not read back");
    Expect(again.box == name.box && again.stamp == name.stamp && again.sequence == name.sequence,
           "a written name reads back differently");
    Expect(!name.IsOlderThan(again) && !again.IsOlderThan(name), "a name older than itself");
    return 0;
}
