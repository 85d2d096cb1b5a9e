// A restore sends the bytes its check passed: a backup's file swapped or
// changed after the check is not sent (or not finished), a read-back is held
// against the checked checksum, and a dry run that could not compare a file
// says so. Against the substitute box over loopback, on real files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "backup/ReadBackVerifier.h"
#include "backup/RestorePlan.h"
#include "tests/backup/WholeBoxFixture.h"
#include "tests/support/SymbolicLink.h"

namespace fs = std::filesystem;

namespace {

// Calls `change` before the restore works on `name`: after the backup's check.
struct ChangingBefore : Recorder {
    void FileStarting(int index, int count, const std::string& file) override {
        if (file == name && change) {
            change();
        }
        Recorder::FileStarting(index, count, file);
    }
    std::string name;
    std::function<void()> change;
};

// The backup's file that a hook of the session rewrites; set by each test.
fs::path g_rewritten;

void Rewrite() {
    WriteFile(g_rewritten.string(), std::string(fs::file_size(g_rewritten), 'x'));
}

class RestoreIntegrityTest : public WholeBoxTest {
protected:
    // Of more than one download record, so that a box breaking off within
    // its second record breaks off within it.
    static std::string ChangedOnBox() { return std::string(2000, 'd'); }

    // A checked backup of the box, whose image.bin then changes, so that a
    // restore sends it.
    void CheckedBackupOfAChangedBox(BoxSimOptions options = {}) {
        WriteFile("box/image.bin", std::string(3000, 'i'));
        Open();
        folder_ = Backup();
        WriteFile("box/image.bin", ChangedOnBox());
        Open(options);
        ASSERT_EQ(backup_.Load(folder_, nullptr), BackupContents::Check::kOk);
    }

    RestoreOutcome Restore(Recorder& report, const std::vector<std::string>& names = {},
                           ReadBackVerifier* verifier = nullptr, bool dryRun = false) {
        RestorePlan plan;
        std::string missing;
        EXPECT_TRUE(RestorePlan::Make(backup_, names, &plan, &missing));
        Recorder compared;
        BoxCompare::Run(*session_, listed_, backup_, compared, names);
        for (const FileReport& f : compared.files) {
            plan.MarkCompared(f);
        }
        return BoxRestore::Run(*session_, listed_, backup_, plan, {dryRun, verifier}, report);
    }

    const FileReport* Find(const Recorder& report, const std::string& name) {
        for (const FileReport& f : report.files) {
            if (f.name == name) {
                return &f;
            }
        }
        ADD_FAILURE() << name << " not reported";
        return nullptr;
    }

    fs::path folder_;
    BackupContents backup_;
};

}  // namespace

TEST_F(RestoreIntegrityTest, AFileSwappedAfterTheCheckIsNotSent) {
    const std::string checked(3000, 'i');
    struct Row {
        const char* what;
        std::function<void(const fs::path&)> swap;
        const char* result;
        const char* message;  // the start of it
        int64_t size;
        std::string onBox;
    };
    const Row rows[] = {
        {"left alone", [](const fs::path&) {}, "sent", "verified", 3000, checked},
        {"rewritten in place", [](const fs::path& p) { WriteFile(p.string(), "other bytes"); },
         "failed", "its bytes changed since the backup was checked", -1, ChangedOnBox()},
        {"renamed over",
         [](const fs::path& p) {
             WriteFile("elsewhere.bin", std::string(3000, 'j'));
             fs::rename("elsewhere.bin", p);
         },
         "failed", "its bytes changed since the backup was checked", -1, ChangedOnBox()},
        {"a link to a copy of the checked bytes",
         [&](const fs::path& p) {
             WriteFile("outside.bin", checked);
             fs::remove(p);
             ASSERT_TRUE(MakeSymbolicLink(fs::absolute("outside.bin"), p));
         },
         "failed", "a symbolic link, never followed", -1, ChangedOnBox()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CheckedBackupOfAChangedBox();
        ChangingBefore report;
        report.name = "image.bin";
        report.change = [&] { row.swap(folder_ / "image.bin"); };
        ReadBackVerifier verifier(rig_.Path());
        const RestoreOutcome outcome = Restore(report, {}, &verifier);
        const FileReport* image = Find(report, "image.bin");
        ASSERT_NE(image, nullptr);
        EXPECT_STREQ(FileResultName(image->result), row.result);
        EXPECT_EQ(image->message.rfind(row.message, 0), 0u) << image->message;
        EXPECT_EQ(image->size, row.size);
        EXPECT_EQ(outcome.failed, row.onBox != checked);
        EXPECT_EQ(outcome.sent, row.onBox == checked ? 1 : 0);
        EXPECT_EQ(ReadFile("box/image.bin"), row.onBox);
        EXPECT_TRUE(box_->WaitFor(
            [&](const BoxSimStats& s) { return s.uploadsStored == outcome.sent; }, 3000));
        if (fs::exists("outside.bin")) {
            // Wine removes no link itself, nor a folder that holds one.
            EXPECT_TRUE(RemoveSymbolicLink(folder_ / "image.bin"));
        }
        std::error_code ec;
        fs::remove_all("backups", ec);
        ASSERT_FALSE(ec) << ec.message();
    }
}

TEST_F(RestoreIntegrityTest, AFileChangedWhileItIsSentIsNotFinished) {
    // Larger than the upload's read buffer, so that the change is read.
    constexpr size_t kLarge = 300 * 1024;
    WriteFile("box/manifest.txt", "Data big.bin 2\n");
    WriteFile("box/big.bin", std::string(kLarge, 'b'));
    Open();
    folder_ = Backup();
    WriteFile("box/big.bin", "damaged");
    Open();
    ASSERT_EQ(backup_.Load(folder_, nullptr), BackupContents::Check::kOk);
    g_rewritten = folder_ / "big.bin";
    session_->SetByteProgressSink([](int64_t done, int64_t) {
        if (done == static_cast<int64_t>(wire::kBlockDataSize)) {
            Rewrite();
        }
        return 0;
    });
    Recorder report;
    const RestoreOutcome outcome = Restore(report);
    ASSERT_EQ(report.files.size(), 1u);
    EXPECT_EQ(report.files[0].result, FileResult::kFailed);
    EXPECT_EQ(report.files[0].message,
              "its bytes changed while it was sent; the upload was stopped");
    EXPECT_TRUE(outcome.failed);
    EXPECT_TRUE(outcome.linkLost);
    EXPECT_EQ(outcome.sent, 0);
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.uploadsBrokenOff == 1; }, 3000));
    EXPECT_EQ(ReadFile("box/big.bin"), "damaged");
}

TEST_F(RestoreIntegrityTest, AReadBackIsHeldAgainstTheCheckedChecksum) {
    struct Row {
        const char* what;
        bool corruptUploads;
        bool changeBackupAfterSend;
        Verified verified;
        const char* message;  // the start of it
    };
    const Row rows[] = {
        {"the box holds what was sent", false, false, Verified::kYes, "verified"},
        {"the backup's file changes after the send", false, true, Verified::kYes, "verified"},
        {"the box stores other bytes", true, false, Verified::kNo, "VERIFY FAILED"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        BoxSimOptions options;
        options.corruptUploads = row.corruptUploads;
        CheckedBackupOfAChangedBox(options);
        g_rewritten = folder_ / "image.bin";
        // The session logs this line once the last block is sent, before the read-back.
        session_->SetLogSink(row.changeBackupAfterSend ? [](const char* text, int) {
            if (std::string(text).find("Wait BOX to process") != std::string::npos) {
                Rewrite();
            }
            return 0;
        }
                                                       : LogSink(nullptr));
        ReadBackVerifier verifier(rig_.Path());
        Recorder report;
        const RestoreOutcome outcome = Restore(report, {"image.bin"}, &verifier);
        ASSERT_EQ(report.files.size(), 1u);
        EXPECT_EQ(report.files[0].result, FileResult::kSent);
        EXPECT_EQ(report.files[0].verified, row.verified);
        EXPECT_EQ(report.files[0].message.rfind(row.message, 0), 0u) << report.files[0].message;
        EXPECT_EQ(outcome.failed, row.verified != Verified::kYes);
        EXPECT_EQ(ReadFile(g_rewritten.string()) != std::string(3000, 'i'),
                  row.changeBackupAfterSend);
        fs::remove_all("backups");
    }
}

TEST_F(RestoreIntegrityTest, ADryRunFailsWhatItCouldNotCompare) {
    const std::string notRead =
        "not compared with the box's copy: the box's copy could not be read";
    const std::string notTried =
        "not compared with the box's copy: not tried, the link to the box was lost";
    struct Row {
        const char* what;
        BoxSimOptions options;
        std::map<std::string, std::string> results;
        std::map<std::string, std::string> messages;  // of the failed
    };
    BoxSimOptions refusing;
    refusing.refuseDump = "busy";
    BoxSimOptions dropping;
    dropping.closeAfterRecords = 1;  // within image.bin, the second file
    const Row rows[] = {
        {"every file compared",
         {},
         {{"settings.txt", "unchanged"}, {"image.bin", "would-send"}, {"empty.log", "unchanged"}},
         {}},
        {"the box refuses the reads",
         refusing,
         {{"settings.txt", "failed"}, {"image.bin", "failed"}, {"empty.log", "failed"}},
         {{"settings.txt", notRead}, {"image.bin", notRead}, {"empty.log", notRead}}},
        {"the link is lost",
         dropping,
         {{"settings.txt", "unchanged"}, {"image.bin", "failed"}, {"empty.log", "failed"}},
         {{"image.bin", notRead}, {"empty.log", notTried}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CheckedBackupOfAChangedBox(row.options);
        Recorder report;
        const RestoreOutcome outcome = Restore(report, {}, nullptr, true);
        EXPECT_EQ(report.Results(), row.results);
        for (const FileReport& f : report.files) {
            if (f.result == FileResult::kFailed) {
                EXPECT_EQ(f.message, row.messages.at(f.name)) << f.name;
            }
        }
        EXPECT_EQ(outcome.failed, !row.messages.empty());
        EXPECT_EQ(outcome.uploadFailed, static_cast<int>(row.messages.size()));
        EXPECT_EQ(box_->Stats().uploadsStored + box_->Stats().uploadsBrokenOff, 0);
        fs::remove_all("backups");
    }
}
