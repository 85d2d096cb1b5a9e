#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "box/BoxDefaults.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"
#include "ui/flow/BackupShelf.h"

namespace fs = std::filesystem;

TEST(BackupShelfTest, ListsTheBoxsBackupsNewestFirstWithTheirFilesAndState) {
    const TempDir dir;
    struct Folder {
        const char* name;
        const char* manifest;  // null: none
    } folders[] = {
        {"a-20261208-100000", "Settings config.txt 1\nChannels channels.db 2\nPics logo.bmp 0\n"},
        {"a-20261208-100000-2", "Settings config.txt 1\n"},
        {"a-20261209-080000", nullptr},
        {"a-20261208-090000", "# empty\n"},
        {"a-20251231-235959", "Settings config.txt one\n"},  // a wrong line
        {"a-20251231-235958", nullptr},
        {"a+4000-20261210-080000", "# another box on another port\n"},
        {"b-20261210-080000", "# another box\n"},
        {"notes", "Settings config.txt 1\n"},  // not a backup's name
    };
    for (const Folder& f : folders) {
        fs::create_directories(fs::path("backup") / f.name);
        if (f.manifest != nullptr) {
            WriteFile(std::string("backup/") + f.name + "/manifest.txt", f.manifest);
        }
    }
    WriteFile("backup/a-20261208-100000-2/INCOMPLETE", "channels.db: lost\n");
    // Complete: SHA256SUMS lists the manifest and nothing else.
    WriteFile("backup/a-20261208-090000/SHA256SUMS", std::string(64, '0') + "  manifest.txt\n");
    // Far too large for a manifest of ours: not read.
    WriteFile("backup/a-20251231-235958/manifest.txt", std::string(70000, '#'));
    WriteFile("backup/a-20261209-090000", "a file named like a backup");

    std::vector<std::string> shown;
    for (const BackupRow& row : BackupShelf::List(BackupShelf::kFolder, BackupBox::Of("a", 1000))) {
        shown.push_back(row.TakenText() + " | " + row.name.box.host + " | " + row.FilesText() +
                        " | " + row.StateText());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "2026-12-09 08:00:00 | a | ? | no manifest",
                         "2026-12-08 10:00:00 (2) | a | 1 | incomplete",
                         "2026-12-08 10:00:00 | a | 3 | damaged checksums",
                         "2026-12-08 09:00:00 | a | 0 | complete",
                         "2025-12-31 23:59:59 | a | ? | damaged manifest",
                         "2025-12-31 23:59:58 | a | ? | damaged manifest",
                     }));
    EXPECT_TRUE(BackupShelf::List("no-such-folder", BackupBox::Of("a", 1000)).empty());
}

#ifndef _WIN32
// The window lists what velqo-cli backs up: one store, one name for the box.
TEST(BackupShelfTest, ABackupMadeByVelqoCliIsListed) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "the window's box is on port 1000, which needs root to listen on";
    }
    // A loopback address of this test's own, for a box on port 1000.
    constexpr const char* kAddress = "127.0.0.213";
    const TempDir dir;
    fs::create_directories("box");
    WriteFile("box/manifest.txt", "Settings config.txt 1\n");
    WriteFile("box/config.txt", "a=1\n");
    BoxSimOptions options;
    options.folder = "box";
    options.listenAddress = kAddress;
    options.port = box_defaults::kPort;
    BoxSimulator box(options);
    std::string error;
    ASSERT_TRUE(box.Start(&error)) << error;
    const ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), {"-H", kAddress, "backup"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<BackupRow> rows =
        BackupShelf::List(BackupShelf::kFolder, BackupBox::Of(kAddress, box_defaults::kPort));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].FilesText(), "1");
    EXPECT_EQ(rows[0].StateText(), "complete");
}
#endif

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
