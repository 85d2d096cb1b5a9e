// Writes the backup reader fuzzer's seed corpus from real backups: a
// substitute box whose files each hold their own name is backed up whole, and
// broken off within its second file; each backup's manifest.txt and SHA256SUMS
// become one input (see FuzzBackup.cpp for the layout).
//   velqo_fuzz_backup_seeds DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backup/BackupFolder.h"
#include "backup/BoxBackup.h"
#include "backup/WholeBoxReport.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/BoxSimulator.h"

namespace fs = std::filesystem;

namespace {

struct Quiet : WholeBoxReport {
    void FileDone(const FileReport&) override {}
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Backs up the box in `boxFolder`; the backup's folder, empty on failure.
fs::path BackUp(const fs::path& boxFolder, const fs::path& into, int closeAfterRecords) {
    BoxSimOptions options;
    options.folder = boxFolder.string();
    options.port = 0;
    options.closeAfterRecords = closeAfterRecords;
    BoxSimulator box(options);
    std::string error;
    BoxSocket socket;
    if (!box.Start(&error) || !socket.Connect("127.0.0.1", box.Port(), 5000)) {
        std::fprintf(stderr, "velqo_fuzz_backup_seeds: no box: %s\n", error.c_str());
        return {};
    }
    BoxSession session(&socket);
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (session.Login(box_defaults::kPassword) != BoxSession::kLoginOk ||
        session.ListFiles(records, &count) != 1) {
        return {};
    }
    Quiet report;
    const BackupOutcome outcome =
        BoxBackup(into, BackupBox::Of("seed", box_defaults::kPort))
            .Run(session, std::vector<wire::ListRecord>(records, records + count), report);
    session.Logout();
    return outcome.folder;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velqo_fuzz_backup_seeds DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path work = fs::temp_directory_path() / "velqo-backup-seeds";
    fs::remove_all(work);
    fs::create_directories(work / "box");
    fs::create_directories(out);
    const std::vector<std::string> names = {"settings.txt", "channels.db", "boot logo.bmp",
                                            "empty.log"};
    Write(work / "box" / "manifest.txt",
          "Settings settings.txt 1\nChannels channels.db 2\nPictures \"boot logo.bmp\" 0\n"
          "Logs empty.log 3\nExtra channels.db 7\n");
    for (const std::string& n : names) {
        Write(work / "box" / n, n);
    }
    const struct {
        const char* seed;
        int closeAfterRecords;
    } backups[] = {{"whole", -1}, {"broken_off", 1}};
    for (const auto& b : backups) {
        if (b.closeAfterRecords > 0) {
            // Of more records than the box sends before it closes.
            Write(work / "box" / "channels.db", std::string(wire::kBlockDataSize * 3, 'c'));
        }
        const fs::path folder = BackUp(work / "box", work / b.seed, b.closeAfterRecords);
        if (folder.empty()) {
            return 1;
        }
        const std::string manifest = Read(folder / BackupFolder::kManifestName);
        const std::string sums = Read(folder / BackupFolder::kChecksumsName);
        const std::string length{static_cast<char>(manifest.size() & 0xFF),
                                 static_cast<char>(manifest.size() >> 8)};
        Write(out / b.seed, length + manifest + sums);
    }
    fs::remove_all(work);
    return 0;
}
