#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "ui/main/BackupShelf.h"

namespace fs = std::filesystem;

TEST(BackupShelfTest, ListsBackupFoldersNewestFirstWithTheirFilesAndState) {
    const TempDir dir;
    struct Folder {
        const char* name;
        const char* manifest;  // null: none
    } folders[] = {
        {"a-20261208-100000", "Settings config.txt 1\nChannels channels.db 2\nPics logo.bmp 0\n"},
        {"a-20261208-100000-2", "Settings config.txt 1\n"},
        {"b-20261209-080000", nullptr},
        {"b-20261208-100000", "# empty\n"},
        {"a-20251231-235959", "Settings config.txt one\n"},  // a wrong line
        {"c-20251231-235959", nullptr},
        {"notes", "Settings config.txt 1\n"},  // not a backup's name
    };
    for (const Folder& f : folders) {
        fs::create_directories(fs::path("backup") / f.name);
        if (f.manifest != nullptr) {
            WriteFile(std::string("backup/") + f.name + "/manifest.txt", f.manifest);
        }
    }
    WriteFile("backup/a-20261208-100000-2/INCOMPLETE", "channels.db: lost\n");
    // Far too large for a manifest of ours: not read.
    WriteFile("backup/c-20251231-235959/manifest.txt", std::string(70000, '#'));
    WriteFile("backup/a-20261209-090000", "a file named like a backup");

    std::vector<std::string> shown;
    for (const BackupRow& row : BackupShelf::List(BackupShelf::kFolder)) {
        shown.push_back(row.TakenText() + " | " + row.name.host + " | " + row.FilesText() + " | " +
                        row.StateText());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "2026-12-09 08:00:00 | b | ? | no manifest",
                         "2026-12-08 10:00:00 (2) | a | 1 | incomplete",
                         "2026-12-08 10:00:00 | a | 3 | ",
                         "2026-12-08 10:00:00 | b | 0 | ",
                         "2025-12-31 23:59:59 | a | ? | damaged manifest",
                         "2025-12-31 23:59:59 | c | ? | damaged manifest",
                     }));
    EXPECT_TRUE(BackupShelf::List("no-such-folder").empty());
}

TEST(BackupShelfTest, FilesOfABackupComeInManifestOrderWithTheirSizes) {
    const TempDir dir;
    fs::create_directories("b/update.pkg");  // a folder is no saved file
    WriteFile("b/manifest.txt",
              "Settings config.txt 1\nChannels channels.db 2\nPictures \"boot logo.bmp\" 0\n"
              "Firmware update.pkg 3\nSettings empty.txt 1\n");
    WriteFile("b/config.txt", "a=1\r\nb=22\r\n");
    WriteFile("b/channels.db", std::string(1234567, 'c'));
    WriteFile("b/empty.txt", "");
    std::vector<std::string> shown;
    for (const BackupFileRow& row : BackupShelf::Files("b")) {
        shown.push_back(row.group + " | " + row.name + " | " + row.sizeText);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Settings | config.txt | 11", "Channels | channels.db | 1,234,567",
                         "Pictures | boot logo.bmp | ?", "Firmware | update.pkg | ?",
                         "Settings | empty.txt | 0"}));
    fs::remove("b/manifest.txt");
    EXPECT_TRUE(BackupShelf::Files("b").empty());
}
