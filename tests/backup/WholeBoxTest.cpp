// The whole-box library against the substitute box over loopback, on real
// files: what it reports per file, compare, and a restore of only what differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/BoxBackup.h"
#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "backup/RestorePlan.h"
#include "tests/backup/WholeBoxFixture.h"

namespace fs = std::filesystem;

TEST_F(WholeBoxTest, BackupReportsEachFileAsDataWithProgress) {
    Open();
    Recorder report;
    const BackupOutcome outcome = RunBackup(report);
    ASSERT_EQ(outcome.status, BackupOutcome::Status::kComplete);
    EXPECT_EQ(outcome.folder.parent_path(), fs::path("backups"));
    EXPECT_EQ(report.progress,
              (std::vector<std::string>{"1/3 settings.txt", "2/3 image.bin", "3/3 empty.log"}));
    ASSERT_EQ(report.files.size(), 3u);
    const FileReport& settings = report.files[0];
    EXPECT_EQ(settings.result, FileResult::kSaved);
    EXPECT_EQ(settings.group, "Config");
    EXPECT_EQ(settings.type, 1);
    EXPECT_EQ(settings.size, 4);
    EXPECT_EQ(report.files[2].sha256,
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(ReadFile((outcome.folder / "image.bin").string()), std::string(3000, 'i'));
    EXPECT_EQ(fs::current_path(), rig_.Path());
}

// Once the first file is saved, the temporary name of the manifest or of
// the checksums is taken by a folder, so that every later write of that file
// fails: the folder is then as a backup broken off between its two renames
// leaves it. What it holds still passes its checksums, the manifest still
// names the file it had, and only that file is reported saved.
TEST_F(WholeBoxTest, ABackupWhoseOwnFilesStopUpdatingStaysConsistent) {
    struct Obstructing : Recorder {
        void FileStarting(int index, int count, const std::string& name) override {
            if (index == 2) {
                for (const auto& backup : fs::directory_iterator("backups")) {
                    if (backup.is_directory()) {  // not the store's lock file
                        fs::create_directory(backup.path() / ("~velqo-" + ownFile + ".part"));
                    }
                }
            }
            Recorder::FileStarting(index, count, name);
        }
        std::string ownFile;
    };
    Open();
    for (const char* ownFile : {"manifest.txt", "SHA256SUMS"}) {
        Obstructing report;
        report.ownFile = ownFile;
        const BackupOutcome outcome = RunBackup(report);
        EXPECT_EQ(outcome.status, BackupOutcome::Status::kIncomplete) << ownFile;
        // Only the file the manifest and the checksums list counts as saved.
        EXPECT_EQ(outcome.saved, 1u) << ownFile;
        BackupContents backup;
        ASSERT_EQ(backup.Load(outcome.folder, nullptr), BackupContents::Check::kOk)
            << ownFile << ": " << backup.Error() << " " << backup.Failing().size();
        EXPECT_TRUE(backup.Incomplete()) << ownFile;
        ASSERT_EQ(backup.Entries().Entries().size(), 1u) << ownFile;
        EXPECT_EQ(backup.Entries().Entries()[0].name, "settings.txt") << ownFile;
        fs::remove_all("backups");
    }
}

TEST_F(WholeBoxTest, CompareStatesPerFileWhatTheBoxHoldsAndStoresNothing) {
    BackupContents backup;
    ASSERT_NO_FATAL_FAILURE(OpenAndBackUp(&backup));

    Recorder unchanged;
    CompareOutcome outcome = BoxCompare::Run(*session_, listed_, backup, unchanged);
    EXPECT_TRUE(outcome.AllSame());
    EXPECT_EQ(outcome.same, 3);

    // The box changes one file, drops one from its list and lists a new one.
    WriteFile("box/settings.txt", "a=2\n");
    WriteFile("box/manifest.txt", "Config settings.txt 1\nData image.bin 2\nNew extra.txt 1\n");
    WriteFile("box/extra.txt", "x");
    Open();
    Recorder changed;
    outcome = BoxCompare::Run(*session_, listed_, backup, changed);
    EXPECT_EQ(changed.Results(), (std::map<std::string, std::string>{
                                     {"settings.txt", "differs"},
                                     {"image.bin", "same"},
                                     {"empty.log", "missing-on-box"},
                                     {"extra.txt", "only-on-box"},
                                 }));
    EXPECT_EQ(outcome.differs + outcome.same + outcome.missingOnBox + outcome.onlyOnBox, 4);
    EXPECT_EQ(changed.files[0].size, 4);  // the box's copy
    EXPECT_NE(changed.files[0].sha256, backup.Sums().Find("settings.txt")->hex);
    EXPECT_EQ(changed.progress.size(), 3u);  // the backup's files
    // Read straight into the digest: no file of the box's copies anywhere.
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(".")) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "settings.txt"), 2);  // box and backup
}

TEST_F(WholeBoxTest, CompareKeepsTheBoxCopiesOfDifferingTextFilesUpToTheLimit) {
    BackupContents backup;
    ASSERT_NO_FATAL_FAILURE(OpenAndBackUp(&backup));
    WriteFile("box/image.bin", "binary, never kept");
    struct Case {
        const char* settings;  // the box's settings.txt
        size_t limit;
        std::map<std::string, std::string> kept;
    } cases[] = {
        {"a=2\n", 4, {{"settings.txt", "a=2\n"}}},
        {"a=22\n", 4, {}},  // larger than the limit: not even its start
        {"a=1\n", 4, {}},   // the same as the backup's
    };
    for (const Case& c : cases) {
        WriteFile("box/settings.txt", c.settings);
        Open();
        Recorder report;
        KeptCopies kept;
        kept.limit = c.limit;
        BoxCompare::Run(*session_, listed_, backup, report, {}, &kept);
        EXPECT_EQ(kept.bytes, c.kept) << c.settings;
        EXPECT_EQ(report.Results().at("image.bin"), "differs");
    }
}

TEST_F(WholeBoxTest, CompareAfterALostLinkReportsTheRestAsNotTried) {
    BackupContents backup;
    ASSERT_NO_FATAL_FAILURE(OpenAndBackUp(&backup));
    BoxSimOptions options;
    options.closeAfterRecords = 1;  // within image.bin, the second file
    Open(options);
    Recorder report;
    const CompareOutcome outcome = BoxCompare::Run(*session_, listed_, backup, report);
    EXPECT_TRUE(outcome.linkLost);
    EXPECT_EQ(outcome.failed, 2);
    EXPECT_EQ(report.Results()["settings.txt"], "same");
    ASSERT_EQ(report.files.size(), 3u);
    EXPECT_EQ(report.files[2].message, "not tried, the link to the box was lost");
}

TEST_F(WholeBoxTest, RestoreNamesEveryFileItNeverTriedAndWhy) {
    BackupContents backup;
    ASSERT_NO_FATAL_FAILURE(OpenAndBackUp(&backup));
    const std::string boxEnded = "the box reported a failure after an upload and the session ended";
    const std::string linkLost = "the link to the box was lost";
    struct Row {
        const char* what;
        BoxSimOptions options;
        bool compareFirst;
        std::vector<std::string> messages;  // per file of the backup, in order
        std::string linkEnd;
    };
    BoxSimOptions failing;
    failing.waitPhase = true;
    failing.waitFinalStatus = 4;
    BoxSimOptions closing;
    closing.closeAfterRecords = 1;  // while comparing image.bin, the second file
    const Row rows[] = {
        {"the box fails the first upload",
         failing,
         false,
         {"the box reported a failure after the upload", "not tried, " + boxEnded,
          "not tried, " + boxEnded},
         boxEnded},
        {"the link is lost while comparing",
         closing,
         true,
         {"", "not compared with the box's copy: the box's copy could not be read",
          "not compared with the box's copy: not tried, " + linkLost},
         linkLost},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Open(row.options);
        RestorePlan plan;
        std::string missing;
        ASSERT_TRUE(RestorePlan::Make(backup, {}, &plan, &missing));
        if (row.compareFirst) {
            Recorder compared;
            BoxCompare::Run(*session_, listed_, backup, compared);
            for (const FileReport& f : compared.files) {
                plan.MarkCompared(f);
            }
        }
        Recorder report;
        const RestoreOutcome outcome =
            BoxRestore::Run(*session_, listed_, backup, plan, {}, report);
        ASSERT_EQ(report.files.size(), row.messages.size());
        for (size_t i = 0; i < row.messages.size(); ++i) {
            EXPECT_EQ(report.files[i].message, row.messages[i]) << report.files[i].name;
            EXPECT_EQ(IsFailure(report.files[i]), !row.messages[i].empty());
        }
        EXPECT_EQ(outcome.notTried, 2);
        EXPECT_EQ(outcome.linkEnd, row.linkEnd);
        EXPECT_TRUE(outcome.failed);
    }
}

TEST_F(WholeBoxTest, RestoreOfOnlyWhatDiffersAfterACompare) {
    Open();
    const fs::path folder = Backup();
    WriteFile("box/image.bin", "damaged");
    Open();
    BackupContents backup;
    ASSERT_EQ(backup.Load(folder, nullptr), BackupContents::Check::kOk);
    RestorePlan plan;
    std::string missing;
    ASSERT_TRUE(RestorePlan::Make(backup, {}, &plan, &missing));
    Recorder compared;
    BoxCompare::Run(*session_, listed_, backup, compared);
    for (const FileReport& f : compared.files) {
        if (f.result == FileResult::kSame) {
            EXPECT_TRUE(plan.MarkUnchanged(f.name));
        }
    }
    Recorder restored;
    const RestoreOutcome outcome = BoxRestore::Run(*session_, listed_, backup, plan, {}, restored);
    EXPECT_EQ(restored.Results(), (std::map<std::string, std::string>{
                                      {"settings.txt", "unchanged"},
                                      {"image.bin", "sent"},
                                      {"empty.log", "unchanged"},
                                  }));
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.unchanged, 2);
    EXPECT_FALSE(outcome.failed);
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.uploadsStored == 1; }, 3000));
    EXPECT_EQ(ReadFile("box/image.bin"), std::string(3000, 'i'));
}
