// Backup folder names: read back as BackupFolder writes them, and nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "backup/BackupFolder.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(BackupFolderNameTest, FolderNamesOfBackupsAreRecognisedAndOthersRefused) {
    struct Case {
        const char* folder;
        const char* parsed;  // "host stamp sequence", empty when refused
    } cases[] = {
        {"127.0.0.1-20261208-144517", "127.0.0.1 20261208144517 1"},
        {"my-box_2-20240229-235960-2", "my-box_2 20240229235960 2"},  // leap day and second
        {"box-20261208-144517-12", "box 20261208144517 12"},
        {"box-20230229-120000", ""},  // no 29 February that year
        {"box-20261308-120000", ""},
        {"box-20261200-120000", ""},
        {"box-20261208-240000", ""},
        {"box-20261208-126000", ""},
        {"-20261208-144517", ""},
        {"box 1-20261208-144517", ""},
        {"box-20261208-144517-1", ""},  // a second backup is numbered from 2
        {"box-20261208-144517-02", ""},
        {"box-20261208-144517-100", "box 20261208144517 100"},  // the last Make tries
        {"box-20261208-144517-101", ""},
        {"box-20261208-144517.zip", ""},
    };
    for (const Case& c : cases) {
        BackupFolder::NameParts name;
        const bool parsed = BackupFolder::ParseFolderName(c.folder, &name);
        EXPECT_EQ(parsed ? name.host + " " + name.stamp + " " + std::to_string(name.sequence) : "",
                  c.parsed);
    }
}

TEST(BackupFolderNameTest, WhatMakeWritesReadsBack) {
    const TempDir dir;
    fs::path first, second;
    std::string why;
    ASSERT_TRUE(BackupFolder::Make("b", "box:1 a", &first, &why)) << why;
    ASSERT_TRUE(BackupFolder::Make("b", "box:1 a", &second, &why)) << why;
    BackupFolder::NameParts a, b;
    ASSERT_TRUE(BackupFolder::ParseFolderName(first.filename().string(), &a));
    ASSERT_TRUE(BackupFolder::ParseFolderName(second.filename().string(), &b));
    EXPECT_EQ(a.host, "box_1_a");
    // The second may fall in the next second; within the same one it is numbered.
    EXPECT_EQ(b.sequence, a.stamp == b.stamp ? 2 : 1);
}
