// Backup folder names: read back as BackupName writes them, and nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "backup/BackupName.h"
#include "backup/BackupStore.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(BackupNameTest, FolderNamesOfBackupsAreRecognisedAndOthersRefused) {
    struct Case {
        const char* folder;
        const char* parsed;  // "host port stamp sequence", empty when refused
    } cases[] = {
        {"127.0.0.1-20261208-144517", "127.0.0.1 1000 20261208144517 1"},
        {"my-box_2-20240229-235960-2", "my-box_2 1000 20240229235960 2"},  // leap day and second
        {"box-20261208-144517-12", "box 1000 20261208144517 12"},
        {"box-20230229-120000", ""},  // no 29 February that year
        {"box-20261308-120000", ""},
        {"box-20261200-120000", ""},
        {"box-20261208-240000", ""},
        {"box-20261208-126000", ""},
        {"-20261208-144517", ""},
        {"box 1-20261208-144517", ""},
        {"box-20261208-144517-1", ""},  // a second backup is numbered from 2
        {"box-20261208-144517-02", ""},
        {"box-20261208-144517-100", "box 1000 20261208144517 100"},  // the last one made
        {"box-20261208-144517-101", ""},
        {"box-20261208-144517.zip", ""},
        // Another port than the box's own.
        {"127.0.0.1+4000-20261208-223000", "127.0.0.1 4000 20261208223000 1"},
        {"127.0.0.1+65535-20261208-223000-3", "127.0.0.1 65535 20261208223000 3"},
        {"a-b-20200101-000000-20261208-223000", "a-b-20200101-000000 1000 20261208223000 1"},
        {"127.0.0.1+1000-20261208-223000", ""},  // the box's own port is never written
        {"127.0.0.1+04000-20261208-223000", ""},
        {"127.0.0.1+0-20261208-223000", ""},
        {"127.0.0.1+65536-20261208-223000", ""},
        {"127.0.0.1+-20261208-223000", ""},
        {"+4000-20261208-223000", ""},
        {"a+b+4000-20261208-223000", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        BackupName name;
        const bool parsed = BackupName::Parse(c.folder, &name);
        EXPECT_EQ(parsed ? name.box.host + " " + std::to_string(name.box.port) + " " + name.stamp +
                               " " + std::to_string(name.sequence)
                         : "",
                  c.parsed);
        // What is read is written back the same.
        if (parsed) {
            EXPECT_EQ(name.Format(), c.folder);
        }
    }
}

TEST(BackupNameTest, ABoxIsItsStoreNameAndItsPort) {
    struct Case {
        const char* host;
        int port;
        const char* stem;
    } cases[] = {
        {"127.0.0.1", 1000, "127.0.0.1"},
        {"127.0.0.1", 4000, "127.0.0.1+4000"},
        {"box:1 a", 1000, "box%3A1%20a"},
        {"a+4000", 1000, "a%2B4000"},  // a name never passes for a port
        {"living-room/tv", 22, "living-room%2Ftv+22"},
        {".x-20261208-144517", 1000, "%2Ex-20261208-144517"},  // a stamp in a name
    };
    for (const Case& c : cases) {
        const BackupBox box = BackupBox::Of(c.host, c.port);
        EXPECT_EQ(box.Stem(), c.stem);
        BackupName read;
        ASSERT_TRUE(BackupName::Parse(BackupName::Now(box).Format(), &read)) << c.stem;
        EXPECT_EQ(read.box, box) << c.stem;
    }
}

TEST(BackupNameTest, WhatTheStoreMakesReadsBack) {
    const TempDir dir;
    const BackupStore store("b");
    const BackupBox box = BackupBox::Of("box:1 a", 4000);
    fs::path first, second;
    std::string why;
    ASSERT_TRUE(store.MakeFolder(box, &first, &why)) << why;
    ASSERT_TRUE(store.MakeFolder(box, &second, &why)) << why;
    BackupName a, b;
    ASSERT_TRUE(BackupName::Parse(first.filename().string(), &a));
    ASSERT_TRUE(BackupName::Parse(second.filename().string(), &b));
    EXPECT_EQ(a.box.Stem(), "box%3A1%20a+4000");
    EXPECT_EQ(a.box.Name(), "box:1 a");
    // The second may fall in the next second; within the same one it is numbered.
    EXPECT_EQ(b.sequence, a.stamp == b.stamp ? 2 : 1);
    EXPECT_TRUE(a.IsOlderThan(b));
}
