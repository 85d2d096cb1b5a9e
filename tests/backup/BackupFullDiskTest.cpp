// A backup onto a full disk: a small tmpfs of its own, mounted by the test
// (root only; skipped otherwise). Whatever room there is, a file is reported
// saved only when SHA256SUMS and the manifest on disk hold it, and INCOMPLETE
// counts and names the same.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/BackupFolder.h"
#include "tests/backup/WholeBoxFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 6;
constexpr size_t kFileBytes = 4000;  // one page of tmpfs each

// A tmpfs of `kib` KiB on `path` while the object lives.
class SmallDisk {
public:
    SmallDisk(const fs::path& path, int kib) : path_(path) {
        fs::create_directories(path);
        const std::string options = "size=" + std::to_string(kib) + "k";
        mounted_ = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
        error_ = mounted_ ? "" : std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) {
            umount2(path_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }

private:
    fs::path path_;
    bool mounted_ = false;
    std::string error_;
};

class BackupFullDiskTest : public WholeBoxTest {
protected:
    BackupFullDiskTest() {
        std::string manifest;
        for (int i = 1; i <= kFiles; ++i) {
            const std::string name = "f" + std::to_string(i) + ".bin";
            manifest += "Data " + name + " 2\n";
            WriteFile("box/" + name, std::string(kFileBytes, static_cast<char>('a' + i)));
        }
        WriteFile("box/manifest.txt", manifest);
    }
};

}  // namespace

TEST_F(BackupFullDiskTest, ReportSummaryAndIncompleteAgreeOnWhatIsSaved) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs for a full disk needs root";
    }
    // Four pages go to the backup's own files and the room to replace one of
    // them; each saved file takes one more. The next file then still fits,
    // but the checksums written anew to list it do not.
    struct Row {
        int kib;
        size_t saved;
    };
    const Row rows[] = {{20, 1}, {24, 2}, {28, 3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.kib) + " KiB");
        SmallDisk disk("disk", row.kib);
        if (!disk.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs: " << disk.Error();
        }
        Open();
        Recorder report;
        const BackupOutcome outcome = RunBackup(report, "disk/backups");
        ASSERT_EQ(outcome.status, BackupOutcome::Status::kIncomplete);
        EXPECT_EQ(outcome.saved, row.saved);

        BackupContents backup;
        ASSERT_EQ(backup.Load(outcome.folder, nullptr), BackupContents::Check::kOk)
            << backup.ErrorFile() << ": " << backup.Error();
        ASSERT_TRUE(backup.Incomplete());
        const std::string incomplete =
            ReadFile((outcome.folder / BackupFolder::kIncompleteName).string());
        EXPECT_NE(incomplete.find("\n" + std::to_string(row.saved) + " file(s) are saved"),
                  std::string::npos)
            << incomplete;
        size_t saved = 0;
        std::vector<std::string> unlisted;
        for (const FileReport& f : report.files) {
            const bool listed = backup.Entries().Find(f.name) != nullptr;
            const bool summed = backup.Sums().Find(f.name) != nullptr;
            EXPECT_EQ(f.result == FileResult::kSaved, listed && summed) << f.name;
            EXPECT_EQ(incomplete.find("\n" + f.name + ": ") != std::string::npos,
                      f.result != FileResult::kSaved)
                << f.name << "\n"
                << incomplete;
            saved += f.result == FileResult::kSaved ? 1 : 0;
            if (f.message.rfind("downloaded, but ", 0) == 0) {
                unlisted.push_back(f.name);
                EXPECT_FALSE(fs::exists(outcome.folder / f.name)) << f.name;
                EXPECT_TRUE(f.sha256.empty()) << f.name;
            }
        }
        EXPECT_EQ(saved, outcome.saved);
        EXPECT_EQ(report.files.size(), static_cast<size_t>(kFiles));
        const std::string firstNotSaved = "f" + std::to_string(row.saved + 1) + ".bin";
        ASSERT_FALSE(unlisted.empty());
        EXPECT_EQ(unlisted[0], firstNotSaved);
    }
}
#endif
