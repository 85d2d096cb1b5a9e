// The backup store on real folders: what counts as complete, which backups
// --keep removes and what of them, whose backups each box sees, and the lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "backup/BackupState.h"
#include "backup/BackupStore.h"
#include "backup/ChecksumList.h"
#include "backup/Sha256.h"
#include "backup/StoreLock.h"
#include "catalog/Manifest.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A complete backup as BoxBackup leaves one: two files, the manifest, and
// SHA256SUMS checking all three.
void MakeComplete(const fs::path& folder) {
    fs::create_directories(folder);
    WriteFile((folder / "config.txt").string(), "a=1\n");
    WriteFile((folder / "image.bin").string(), std::string(300, 'i'));
    WriteFile((folder / "manifest.txt").string(),
              Manifest::Format({{"Settings", "config.txt", 1}, {"Data", "image.bin", 2}}));
    std::vector<ChecksumLine> sums;
    for (const char* name : {"config.txt", "image.bin", "manifest.txt"}) {
        std::string hex;
        EXPECT_TRUE(Sha256::OfFile(folder / name, &hex));
        sums.push_back({hex, name});
    }
    WriteFile((folder / "SHA256SUMS").string(), ChecksumList::Format(sums));
}

// Folders that look like backups, more or less.
enum class Kind {
    kComplete,
    kIncomplete,   // INCOMPLETE beside everything
    kHalfRemoved,  // a prune broken off: marked, a file gone
    kNoManifest,
    kDamagedManifest,
    kSumsMissAFile,
    kSumsListMore,
    kUserFolder,       // only a user's files
    kUserFilesInside,  // complete, with a user's file, folder and link added
    kPlainFile,
    kLinkToComplete,
};

void Make(const fs::path& folder, Kind kind) {
    switch (kind) {
        case Kind::kPlainFile:
            WriteFile(folder.string(), "not a folder");
            return;
        case Kind::kLinkToComplete:
            MakeComplete("elsewhere");
            fs::create_directory_symlink(fs::absolute("elsewhere"), folder);
            return;
        case Kind::kUserFolder:
            fs::create_directories(folder / "sub");
            WriteFile((folder / "thesis.doc").string(), "years of work");
            WriteFile((folder / "sub/photo.jpg").string(), "a photo");
            return;
        default:
            break;
    }
    MakeComplete(folder);
    const std::string sums = ReadFile((folder / "SHA256SUMS").string());
    switch (kind) {
        case Kind::kIncomplete:
            WriteFile((folder / "INCOMPLETE").string(), "image.bin: the download failed\n");
            break;
        case Kind::kHalfRemoved:
            WriteFile((folder / "INCOMPLETE").string(), "being removed\n");
            fs::remove(folder / "config.txt");
            break;
        case Kind::kNoManifest:
            fs::remove(folder / "manifest.txt");
            break;
        case Kind::kDamagedManifest:
            WriteFile((folder / "manifest.txt").string(), "Settings config.txt one\n");
            break;
        case Kind::kSumsMissAFile:
            WriteFile((folder / "SHA256SUMS").string(), sums.substr(sums.find('\n') + 1));
            break;
        case Kind::kSumsListMore:
            WriteFile((folder / "SHA256SUMS").string(),
                      sums + std::string(64, '0') + "  notes.txt\n");
            break;
        case Kind::kUserFilesInside:
            fs::create_directories(folder / "mine");
            WriteFile((folder / "thesis.doc").string(), "years of work");
            WriteFile((folder / "mine/photo.jpg").string(), "a photo");
#ifndef _WIN32
            fs::create_symlink("/etc/hostname", folder / "link");
#endif
            break;
        default:
            break;
    }
}

// Every path under the store, relative to it, sorted.
std::vector<std::string> Tree(const fs::path& root) {
    std::vector<std::string> paths;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        paths.push_back(it->path().lexically_relative(root).generic_string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

TEST(BackupStoreTest, CompleteIsOneDefinition) {
    struct Case {
        Kind kind;
        const char* state;
        int files;
    } cases[] = {
        {Kind::kComplete, "complete", 2},
        {Kind::kIncomplete, "incomplete", 2},
        {Kind::kHalfRemoved, "incomplete", 2},
        {Kind::kNoManifest, "no manifest", -1},
        {Kind::kDamagedManifest, "damaged manifest", -1},
        {Kind::kSumsMissAFile, "damaged checksums", 2},
        {Kind::kSumsListMore, "damaged checksums", 2},
        {Kind::kUserFolder, "no manifest", -1},
        {Kind::kUserFilesInside, "complete", 2},
        {Kind::kPlainFile, "not a folder", -1},
#ifndef _WIN32
        {Kind::kLinkToComplete, "not a folder", -1},
#endif
    };
    for (const Case& c : cases) {
        const TempDir dir;
        Make("b", c.kind);
        const BackupState state = BackupState::Of("b");
        EXPECT_STREQ(state.Text(), c.state) << static_cast<int>(c.kind);
        EXPECT_EQ(state.fileCount, c.files) << static_cast<int>(c.kind);
    }
}

TEST(BackupStoreTest, APruneRemovesOnlyOlderCompleteBackupsOfTheBoxAndOnlyWhatTheyMade) {
    const std::string made = "127.0.0.1-20240301-090000";
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, Kind>> others;
        int keep;
        std::vector<std::string> removed;   // oldest first
        std::vector<std::string> leftOver;  // in removed folders, kept
    };
    const std::vector<Case> cases = {
        {"the oldest go",
         {{"127.0.0.1-20240101-120000", Kind::kComplete},
          {"127.0.0.1-20240201-120000", Kind::kComplete},
          {"127.0.0.1-20240102-120000", Kind::kComplete}},
         2,
         {"127.0.0.1-20240101-120000", "127.0.0.1-20240102-120000"},
         {}},
        {"what only looks like a backup is never touched",
         {{"127.0.0.1-20200101-000000", Kind::kUserFolder},
          {"127.0.0.1-20200102-000000", Kind::kIncomplete},
          {"127.0.0.1-20200103-000000", Kind::kHalfRemoved},
          {"127.0.0.1-20200104-000000", Kind::kNoManifest},
          {"127.0.0.1-20200105-000000", Kind::kDamagedManifest},
          {"127.0.0.1-20200106-000000", Kind::kSumsMissAFile},
          {"127.0.0.1-20200107-000000", Kind::kSumsListMore},
          {"127.0.0.1-20200108-000000", Kind::kPlainFile},
#ifndef _WIN32
          {"127.0.0.1-20200109-000000", Kind::kLinkToComplete},
#endif
          {"127.0.0.1-20230229-000000", Kind::kComplete},  // no such day
          {"127.0.0.1-20200110-000000-1", Kind::kComplete},
          {"127.0.0.1-20200110-000000-02", Kind::kComplete},
          {"127.0.0.1-2020-01-10", Kind::kComplete},
          {"x127.0.0.1-20200111-000000", Kind::kComplete}},
         1,
         {},
         {}},
        {"other boxes, on other ports or addresses, stay",
         {{"127.0.0.1+4000-20200101-000000", Kind::kComplete},
          {"127.0.0.10-20200101-000000", Kind::kComplete},
          {"127.0.0.1+1001-20200101-000000", Kind::kComplete},
          {"127.0.0.1-20200101-000000", Kind::kComplete}},
         1,
         {"127.0.0.1-20200101-000000"},
         {}},
        {"a user's files inside a backup are kept and named",
         {{"127.0.0.1-20200101-000000", Kind::kUserFilesInside}},
         1,
         {"127.0.0.1-20200101-000000"},
#ifndef _WIN32
         {"127.0.0.1-20200101-000000/link", "127.0.0.1-20200101-000000/mine",
          "127.0.0.1-20200101-000000/mine/photo.jpg", "127.0.0.1-20200101-000000/thesis.doc"}},
#else
         {"127.0.0.1-20200101-000000/mine", "127.0.0.1-20200101-000000/mine/photo.jpg",
          "127.0.0.1-20200101-000000/thesis.doc"}},
#endif
        {"a second backup in a second sorts after the first, -10 after -9",
         {{"127.0.0.1-20240101-120000-10", Kind::kComplete},
          {"127.0.0.1-20240101-120000-9", Kind::kComplete},
          {"127.0.0.1-20240101-120000", Kind::kComplete}},
         2,
         {"127.0.0.1-20240101-120000", "127.0.0.1-20240101-120000-9"},
         {}},
        {"never one newer than the one just made",
         {{"127.0.0.1-20250101-120000", Kind::kComplete},
          {"127.0.0.1-20240301-090000-2", Kind::kComplete}},
         1,
         {},
         {}},
        {"keep as many as there are", {{"127.0.0.1-20240101-120000", Kind::kComplete}}, 2, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir dir;
        const fs::path store = "backups";
        MakeComplete(store / made);
        std::vector<std::string> expected = Tree(store);
        for (const auto& [name, kind] : c.others) {
            Make(store / name, kind);
        }
        for (const std::string& path : Tree(store)) {
            const std::string top = path.substr(0, path.find('/'));
            if (std::find(c.removed.begin(), c.removed.end(), top) == c.removed.end()) {
                expected.push_back(path);
            }
        }
        expected.push_back(BackupStore::kLockName);
        expected.push_back(BackupStore::kReadersLockName);
        expected.insert(expected.end(), c.leftOver.begin(), c.leftOver.end());
        for (const std::string& path : c.leftOver) {
            expected.push_back(path.substr(0, path.find('/')));
        }
        std::sort(expected.begin(), expected.end());
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());

        const PruneOutcome outcome = BackupStore(fs::absolute(store)).Prune(store / made, c.keep);
        std::vector<std::string> removed;
        for (const fs::path& p : outcome.removed) {
            removed.push_back(p.filename().string());
        }
        // A folder that stays for a user's files is not called removed.
        for (const PruneOutcome::Problem& p : outcome.keptForeign) {
            EXPECT_FALSE(fs::exists(store / p.folder.filename() / "SHA256SUMS"));
            removed.push_back(p.folder.filename().string());
        }
        EXPECT_EQ(removed, c.removed);
        EXPECT_TRUE(outcome.failed.empty()) << outcome.failed[0].why;
        EXPECT_EQ(outcome.keptForeign.size(), c.leftOver.empty() ? 0u : 1u);
        EXPECT_EQ(Tree(store), expected);
        EXPECT_TRUE(BackupState::Of(store / made).Complete());
    }
}

TEST(BackupStoreTest, EachBoxSeesItsOwnBackupsAndItsOwnLatest) {
    const TempDir dir;
    const std::map<std::string, Kind> folders = {
        {"127.0.0.1-20240101-120000", Kind::kComplete},
        {"127.0.0.1-20240102-120000", Kind::kIncomplete},
        {"127.0.0.1+4000-20240101-110000", Kind::kComplete},
        {"127.0.0.1+4000-20240101-130000", Kind::kComplete},
        {"127.0.0.1+4001-20240101-130000", Kind::kSumsMissAFile},
        {"tv_living-20240105-000000", Kind::kComplete},  // an earlier version's
        {"tv%20living-20240106-000000", Kind::kComplete},
    };
    for (const auto& [name, kind] : folders) {
        Make(fs::path("store") / name, kind);
    }
    struct Case {
        BackupBox box;
        std::vector<std::string> listed;  // newest first
        const char* latest;               // empty: none
    } cases[] = {
        {BackupBox::Of("127.0.0.1", 1000),
         {"127.0.0.1-20240102-120000", "127.0.0.1-20240101-120000"},
         "127.0.0.1-20240101-120000"},
        {BackupBox::Of("127.0.0.1", 4000),
         {"127.0.0.1+4000-20240101-130000", "127.0.0.1+4000-20240101-110000"},
         "127.0.0.1+4000-20240101-130000"},
        {BackupBox::Of("127.0.0.1", 4001), {"127.0.0.1+4001-20240101-130000"}, ""},
        {BackupBox::Of("tv living", 1000),
         {"tv%20living-20240106-000000"},
         "tv%20living-20240106-000000"},
        {BackupBox::Of("tv_living", 1000),
         {"tv_living-20240105-000000"},
         "tv_living-20240105-000000"},
        {BackupBox::Of("127.0.0.2", 1000), {}, ""},
    };
    const BackupStore store("store");
    for (const Case& c : cases) {
        std::vector<std::string> listed;
        for (const StoredBackup& b : store.ListOf(c.box)) {
            listed.push_back(b.folder.filename().string());
        }
        EXPECT_EQ(listed, c.listed) << c.box.Text();
        StoredBackup latest;
        const bool found = store.Latest(c.box, &latest);
        EXPECT_EQ(found ? latest.folder.filename().string() : "", c.latest) << c.box.Text();
    }
    EXPECT_EQ(store.List().size(), folders.size());
}

TEST(BackupStoreTest, TheLockIsHeldByOneAtATimeAndWaitedForBoundedly) {
    const TempDir dir;
    fs::create_directories("store");
    const fs::path file = fs::path("store") / BackupStore::kLockName;
    std::string why;
    {
        StoreLock held;
        ASSERT_TRUE(held.Acquire(file, 0, &why)) << why;
        StoreLock other;
        EXPECT_FALSE(other.Acquire(file, 0, &why));
        EXPECT_NE(why.find("another run held the lock"), std::string::npos) << why;
        fs::path folder;
        EXPECT_FALSE(BackupStore("store", 0).MakeFolder(BackupBox::Of("h", 1000), &folder, &why));
        EXPECT_NE(BackupStore("store", 0).Prune("store/h-20240101-000000", 1).notTried, "");
    }
    StoreLock again;
    EXPECT_TRUE(again.Acquire(file, 0, &why)) << why;
}

TEST(BackupStoreTest, ANameTakenByAFileOrALinkGoesToTheNextNumber) {
    const TempDir dir;
    fs::create_directories("store");
    const BackupBox box = BackupBox::Of("h", 1000);
    // Bounded: the second may turn between the blockers and the folder.
    for (int attempt = 0; attempt < 3; ++attempt) {
        BackupName name = BackupName::Now(box);
        WriteFile("store/" + name.Format(), "a user's file");
        name.sequence = 2;
#ifndef _WIN32
        fs::create_symlink("nowhere", "store/" + name.Format());
        name.sequence = 3;
#endif
        fs::path folder;
        std::string why;
        ASSERT_TRUE(BackupStore("store", 0).MakeFolder(box, &folder, &why)) << why;
        BackupName made;
        ASSERT_TRUE(BackupName::Parse(folder.filename().string(), &made));
        if (made.stamp == name.stamp) {
            EXPECT_EQ(made.sequence, name.sequence);
            return;
        }
    }
    FAIL() << "the clock turned a second at every attempt";
}

TEST(BackupStoreTest, MakesItsOwnFolderButNeverAMissingParent) {
    const TempDir dir;
    fs::create_directories("there");
    WriteFile("file", "a user's file");
    struct Case {
        const char* root;
        bool made;
        const char* why;         // in the reason when not made
        const char* notCreated;  // a path that must still not be there, or null
    } cases[] = {
        {"store", true, "", nullptr},
        {"there/store/", true, "", nullptr},
        {"missing/store", false, "its parent folder 'missing' does not exist", "missing"},
        {"a/b/c/store", false, "its parent folder 'a/b/c' does not exist", "a"},
        {"file/store", false, "cannot make it: ", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root);
        fs::path folder;
        std::string why;
        EXPECT_EQ(BackupStore(c.root, 0).MakeFolder(BackupBox::Of("h", 1000), &folder, &why),
                  c.made)
            << why;
        if (c.made) {
            EXPECT_TRUE(fs::is_directory(folder)) << folder;
        } else {
            EXPECT_NE(why.find(c.why), std::string::npos) << why;
        }
        if (c.notCreated != nullptr) {
            EXPECT_FALSE(fs::exists(c.notCreated));
        }
    }
    EXPECT_EQ(ReadFile("file"), "a user's file");
}

TEST(BackupStoreTest, NoBackupIsPrunedWhileARunReadsTheStore) {
    const TempDir dir;
    const fs::path store = fs::absolute("store");
    MakeComplete(store / "127.0.0.1-20200101-000000");
    MakeComplete(store / "127.0.0.1-20240101-000000");
    fs::create_directories("elsewhere/backup");
    std::string why;
    {
        StoreLock reading;
        // A folder that is no store is never given a lock file.
        ASSERT_TRUE(BackupStore::LockForReading("elsewhere", &reading, &why)) << why;
        EXPECT_FALSE(reading.Held());
        EXPECT_FALSE(fs::exists("elsewhere/" + std::string(BackupStore::kReadersLockName)));
        WriteFile((store / BackupStore::kLockName).string(), "");
        ASSERT_TRUE(BackupStore::LockForReading(
            BackupStore::StoreOf(store / "127.0.0.1-20200101-000000/"), &reading, &why))
            << why;
        EXPECT_TRUE(reading.Held());
        StoreLock another;  // readers do not keep each other out
        EXPECT_TRUE(BackupStore::LockForReading(store, &another, &why)) << why;
        const PruneOutcome held = BackupStore(store).Prune(store / "127.0.0.1-20240101-000000", 1);
        EXPECT_TRUE(held.removed.empty());
        EXPECT_TRUE(held.failed.empty());
        EXPECT_NE(held.deferred, "");
        EXPECT_TRUE(BackupState::Of(store / "127.0.0.1-20200101-000000").Complete());
    }
    const PruneOutcome free = BackupStore(store).Prune(store / "127.0.0.1-20240101-000000", 1);
    EXPECT_EQ(free.removed.size(), 1u);
    EXPECT_EQ(free.deferred, "");
}
