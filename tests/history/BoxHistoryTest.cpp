// A box's backups in the store: each with what changed since the complete
// one before it, "latest~N" counting complete ones only, other boxes'
// backups never mixed in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/BackupRef.h"
#include "history/BoxHistory.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kText = 1;
constexpr int kBinary = 2;

class BoxHistoryTest : public ::testing::Test {
protected:
    BoxHistoryTest() : store(dir.Path() / "store") {
        struct Backup {
            const char* host;
            int port;
            const char* stamp;
            int sequence;
            std::vector<StoredFile> files;
            bool incomplete;
        } backups[] = {
            {"127.0.0.1", 1000, "20261201100000", 1, {Config("a\n"), Channels("x")}, false},
            {"127.0.0.2", 1000, "20261201110000", 1, {Config("z\n")}, false},
            {"127.0.0.1", 1000, "20261202100000", 1, {Config("b\n"), Channels("x")}, false},
            // Within the same second, and the same as the one before it.
            {"127.0.0.1", 1000, "20261202100000", 2, {Config("b\n"), Channels("x")}, false},
            {"127.0.0.1", 4000, "20261202100000", 1, {Config("q\n")}, false},
            // Broken off before channels.db: not "removed".
            {"127.0.0.1", 1000, "20261203100000", 1, {Config("c\n")}, true},
            {"127.0.0.1",
             1000,
             "20261204100000",
             1,
             {Config("b\n"), Channels("y"), {"Timers", "timers.txt", kText, "t\n"}},
             false},
            {"127.0.0.1", 1000, "20261205100000", 1, {Config("b\n")}, false},
        };
        for (const Backup& b : backups) {
            WriteStoredBackup(store.Root(), StoredName(b.host, b.stamp, b.sequence, b.port),
                              b.files, b.incomplete);
        }
    }

    static StoredFile Config(const std::string& bytes) {
        return {"Settings", "config.txt", kText, bytes};
    }
    static StoredFile Channels(const std::string& bytes) {
        return {"Channels", "channels.db", kBinary, bytes};
    }

    TempDir dir;
    BackupStore store;
    const BackupBox box = BackupBox::Of("127.0.0.1", 1000);
};

}  // namespace

TEST_F(BoxHistoryTest, EachBackupSaysWhatChangedSinceTheCompleteOneBeforeIt) {
    const struct {
        const char* folder;
        bool complete;
        int files;
        const char* summary;
    } expected[] = {
        {"127.0.0.1-20261205-100000", true, 1, "2 removed: channels.db timers.txt"},
        {"127.0.0.1-20261204-100000", true, 3, "1 changed: channels.db; 1 added: timers.txt"},
        {"127.0.0.1-20261203-100000", false, 1, "1 changed: config.txt"},
        {"127.0.0.1-20261202-100000-2", true, 2, "same"},
        {"127.0.0.1-20261202-100000", true, 2, "1 changed: config.txt"},
        {"127.0.0.1-20261201-100000", true, 2, "first"},
    };
    const std::vector<HistoryEntry> history = BoxHistory::Of(store, box);
    ASSERT_EQ(history.size(), std::size(expected));
    for (size_t k = 0; k < history.size(); ++k) {
        EXPECT_EQ(history[k].backup.folder.filename().string(), expected[k].folder);
        EXPECT_EQ(history[k].backup.state.Complete(), expected[k].complete) << expected[k].folder;
        // An incomplete backup's file count is what it saved.
        if (expected[k].complete) {
            EXPECT_EQ(history[k].backup.state.fileCount, expected[k].files) << expected[k].folder;
        }
        EXPECT_EQ(history[k].Summary(), expected[k].summary) << expected[k].folder;
    }
}

TEST_F(BoxHistoryTest, LatestAndLatestBeforeCountCompleteBackupsOfTheBoxOnly) {
    const struct {
        const char* ref;
        const char* folder;  // empty: no such backup, or no reference at all
        bool parses;
    } cases[] = {
        {"latest", "127.0.0.1-20261205-100000", true},
        {"latest~0", "127.0.0.1-20261205-100000", true},
        {"latest~1", "127.0.0.1-20261204-100000", true},
        {"latest~2", "127.0.0.1-20261202-100000-2", true},  // the incomplete one is skipped
        {"latest~3", "127.0.0.1-20261202-100000", true},
        {"latest~4", "127.0.0.1-20261201-100000", true},
        {"latest~5", "", true},
        {"latest~", "", false},
        {"latest~-1", "", false},
        {"latest~1x", "", false},
        {"latest1", "", false},
        {"Latest", "", false},
        {"latest~1234567", "", true},  // parsed, and not there
        {"latest~01", "", false},
        {"latest~99999999999", "", false},
    };
    for (const auto& c : cases) {
        int back = -1;
        EXPECT_EQ(BackupRef::ParseLatest(c.ref, &back), c.parses) << c.ref;
        if (!c.parses) {
            continue;
        }
        StoredBackup found;
        std::string why;
        const bool ok = BackupRef::Find(store, box, back, &found, &why);
        EXPECT_EQ(ok ? found.folder.filename().string() : "", c.folder) << c.ref << ": " << why;
        if (!ok) {
            EXPECT_EQ(why, "127.0.0.1:1000 has 5 complete backups in " + store.Root().string() +
                               ", so there is no " + c.ref);
        }
    }
}

TEST_F(BoxHistoryTest, ABackupDatedAheadOfTheClockIsToldWhenChosen) {
    StoredBackup found;
    ASSERT_TRUE(BackupName::Parse("127.0.0.1-20261205-100000", &found.name));
    found.folder = "store/127.0.0.1-20261205-100000";
    std::tm day{};
    day.tm_year = 2026 - 1900;
    day.tm_mon = 11;
    day.tm_mday = 5;
    day.tm_hour = 9;  // an hour before it, local time
    day.tm_isdst = -1;
    EXPECT_EQ(BackupRef::FutureWarning(found, std::mktime(&day)),
              "warning: 127.0.0.1-20261205-100000 is dated 2026-12-05 10:00:00, ahead of this "
              "PC's clock; if the clock was set back, newer backups sort before it");
    day.tm_hour = 11;
    EXPECT_EQ(BackupRef::FutureWarning(found, std::mktime(&day)), "");
}
