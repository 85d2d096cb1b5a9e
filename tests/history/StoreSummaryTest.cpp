// Every box of the store at a glance, and how old a backup is.
#include "history/StoreSummary.h"

#include <gtest/gtest.h>

#include "backup/BackupAge.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"

namespace {

StoredFile Config(const std::string& bytes) {
    return {"Settings", "config.txt", 1, bytes};
}

TEST(StoreSummaryTest, NewestCompleteWithItsChangesAndNewestIncompleteWithWhy) {
    TempDir dir;
    const BackupStore store(dir.Path() / "store");
    WriteStoredBackup(store.Root(), StoredName("127.0.0.2", "20261201100000"), {Config("a\n")});
    WriteStoredBackup(store.Root(), StoredName("127.0.0.2", "20261202100000"), {Config("b\n")});
    WriteStoredBackup(store.Root(), StoredName("127.0.0.2", "20261203100000"), {}, true);
    WriteStoredBackup(store.Root(), StoredName("127.0.0.3", "20261130100000", 1, 4000), {}, true);

    const std::vector<BoxSummary> boxes = StoreSummary::Of(store);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].box.Text(), "127.0.0.2:1000");
    EXPECT_EQ(boxes[0].backups, 3);
    ASSERT_TRUE(boxes[0].complete.has_value());
    EXPECT_EQ(boxes[0].complete->backup.name.stamp, "20261202100000");
    EXPECT_EQ(boxes[0].complete->Summary(), "1 changed: config.txt");
    ASSERT_TRUE(boxes[0].incomplete.has_value());
    EXPECT_EQ(boxes[0].incomplete->name.stamp, "20261203100000");
    EXPECT_NE(boxes[0].incompleteWhy.find("broken off"), std::string::npos)
        << boxes[0].incompleteWhy;

    EXPECT_EQ(boxes[1].box.Text(), "127.0.0.3:4000");
    EXPECT_FALSE(boxes[1].complete.has_value());
    EXPECT_TRUE(boxes[1].incomplete.has_value());
    EXPECT_EQ(StoreSummary::OfBox(store, BackupBox::Of("127.0.0.9", 1000)).backups, 0);
}

TEST(BackupAgeTest, LargestWholeUnit) {
    const BackupName name = StoredName("127.0.0.2", "20261201100000");
    std::tm later{};
    later.tm_year = 2026 - 1900;
    later.tm_mon = 11;
    later.tm_mday = 3;
    later.tm_hour = 11;
    later.tm_isdst = -1;
    const int64_t seconds = BackupAge::Seconds(name, std::mktime(&later));
    EXPECT_EQ(seconds, 2 * 86400 + 3600);
    const struct {
        int64_t seconds;
        const char* text;
    } cases[] = {{-5, "dated ahead of the clock"},
                 {59, "under a minute old"},
                 {60, "1 minute old"},
                 {7199, "1 hour old"},
                 {86400, "1 day old"},
                 {seconds, "2 days old"}};
    for (const auto& c : cases) {
        EXPECT_EQ(BackupAge::Text(c.seconds), c.text) << c.seconds;
    }
}

}  // namespace
