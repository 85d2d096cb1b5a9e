// The backups dialog's decisions against the substitute box over loopback:
// state words, which buttons are usable, and back up, compare and restore
// as the dialog runs them, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/WireFormat.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TempDir.h"
#include "ui/flow/BackupsFlow.h"

namespace fs = std::filesystem;

namespace {

struct Shown : BackupsProgress {
    void OverallChanged(int percent) override { percents.push_back(percent); }
    void FileStarting(int, int, const std::string&) override {}
    void FileRowChanged(int row, const FileStateRow&) override { rows.push_back(row); }
    std::vector<int> percents;
    std::vector<int> rows;
};

class BackupsFlowTest : public ::testing::Test {
protected:
    BackupsFlowTest() {
        WriteFile("box/manifest.txt", "Config settings.txt 1\nData image.bin 2\n");
        WriteFile("box/settings.txt", "a=1\n");
        WriteFile("box/image.bin", std::string(5000, 'i'));
        Restart();
        flow_.SetProgress(&shown_);
    }

    // A box on the folder as its manifest now says, logged in on the same session.
    void Restart() {
        socket_.Close();
        if (box_ != nullptr) {
            box_->Stop();
        }
        BoxSimOptions options;
        options.waitPhase = true;
        options.recordReceived = true;
        box_ = &rig_.StartBox(options);
        EXPECT_TRUE(socket_.Connect("127.0.0.1", box_->Port(), 5000));
        EXPECT_EQ(session_.Login(box_defaults::kPassword), BoxSession::kLoginOk);
    }

    // "name: state" per row of the files list.
    std::vector<std::string> States() const {
        std::vector<std::string> states;
        for (const FileStateRow& f : flow_.Files()) {
            states.push_back(f.name + ": " + f.state);
        }
        return states;
    }

    // Forgets what the box received so far, once it has read the last
    // acknowledgement of the `dumps` downloads made: the PC does not wait for it.
    void ClearReceivedAfter(int dumps) {
        EXPECT_TRUE(box_->WaitFor(
            [dumps](const BoxSimStats& s) { return s.dumpsCompleted == dumps; }, 5000));
        box_->ClearReceived();
    }

    BoxRig rig_;
    BoxSimulator* box_ = nullptr;  // not owned: the rig's
    BoxSocket socket_;
    BoxSession session_{&socket_};
    BackupsFlow flow_{session_, "backup", "127.0.0.1"};
    Shown shown_;
};

}  // namespace

TEST_F(BackupsFlowTest, ButtonsFollowTheSelectionTheLinkAndTheWork) {
    fs::create_directories("backup/127.0.0.1-20000101-100000");  // no manifest
    flow_.BackUp();  // the new backup comes first, the one without a manifest second
    struct Case {
        int select;
        bool busy;
        bool loggedIn;
        const char* usable;  // back up, compare, restore, close, update firmware
    } cases[] = {
        {-1, false, true, "BxxCU"}, {1, false, true, "BxxCU"},  {0, false, true, "BCRCU"},
        {0, true, true, "xxxCx"},   {0, false, false, "xxxCx"},
    };
    for (const Case& c : cases) {
        flow_.Select(c.select);
        if (!c.loggedIn) {
            socket_.Close();
        }
        const BackupsButtons b = flow_.Buttons(c.busy);
        const std::string usable = std::string(b.backUpNow ? "B" : "x") + (b.compare ? "C" : "x") +
                                   (b.restore ? "R" : "x") + (b.close ? "C" : "x") +
                                   (b.update ? "U" : "x");
        EXPECT_EQ(usable, c.usable) << c.select << c.busy << c.loggedIn;
    }
}

TEST_F(BackupsFlowTest, BackupCompareAndRestoreOfOnlyWhatDiffers) {
    flow_.ReadShelf();
    EXPECT_TRUE(flow_.Backups().empty());
    EXPECT_EQ(flow_.Status(), "No backups of this box yet: Back up now makes one");
    EXPECT_EQ(flow_.Heading(),
              "Backups of the box at 127.0.0.1, in backup\\ of the working folder:");
    flow_.BackUp();
    ASSERT_EQ(flow_.Backups().size(), 1u);
    EXPECT_EQ(flow_.Selected(), 0);
    EXPECT_EQ(States(), (std::vector<std::string>{"settings.txt: saved", "image.bin: saved"}));
    EXPECT_EQ(flow_.Status().rfind("Backed up 2 file(s) into backup", 0), 0u) << flow_.Status();
    EXPECT_EQ(shown_.percents.back(), 100);

    const std::string shown = (fs::path("backup") / flow_.Backups()[0].folder).string();
    flow_.Compare();
    EXPECT_EQ(States(), (std::vector<std::string>{"settings.txt: same", "image.bin: same"}));
    EXPECT_EQ(flow_.Status(), "Compared with " + shown +
                                  ": 2 same, 0 differ, 0 missing on the box, 0 only on the box, "
                                  "0 failed.");

    // The box changes a file and lists one more: only the changed one is sent.
    WriteFile("box/image.bin", "changed");
    WriteFile("box/extra.txt", "x");
    WriteFile("box/manifest.txt", "Config settings.txt 1\nData image.bin 2\nNew extra.txt 1\n");
    Restart();
    flow_.Compare();
    EXPECT_EQ(States(), (std::vector<std::string>{"settings.txt: same", "image.bin: differs",
                                                  "extra.txt: only on the box"}));
    const RestoreQuestion question = flow_.PrepareRestore();
    ASSERT_TRUE(question.ask) << flow_.Status();
    EXPECT_EQ(question.count, 1);
    EXPECT_EQ(question.text.rfind("1 file(s) of the backup differ from the box's and will be "
                                  "sent: image.bin.",
                                  0),
              0u);
    ClearReceivedAfter(4);  // two compares of two files
    flow_.CancelRestore();
    EXPECT_TRUE(box_->Received().empty());
    EXPECT_EQ(ReadFile("box/image.bin"), "changed");

    ASSERT_TRUE(flow_.PrepareRestore().ask);
    flow_.Restore();
    EXPECT_EQ(States(), (std::vector<std::string>{"settings.txt: unchanged", "image.bin: verified",
                                                  "extra.txt: only on the box"}));
    EXPECT_EQ(flow_.Status(),
              "Restored 1 of 2 file(s) from " + shown + ", verified, 0 skipped, 1 unchanged.");
    EXPECT_EQ(ReadFile("box/image.bin"), std::string(5000, 'i'));
    EXPECT_EQ(ReadFile("box/extra.txt"), "x");  // left alone
    // The read-back's temporary folder is gone: only the backup and the
    // store's two locks (its own, and the readers' one) are there.
    EXPECT_EQ(std::distance(fs::directory_iterator("backup"), fs::directory_iterator()), 3);
    EXPECT_TRUE(fs::is_regular_file(fs::path("backup") / BackupStore::kLockName));
    EXPECT_TRUE(fs::is_regular_file(fs::path("backup") / BackupStore::kReadersLockName));
    // While a restore is asked about, no prune removes its backup.
    WriteFile("box/image.bin", "changed again");
    ASSERT_TRUE(flow_.PrepareRestore().ask) << flow_.Status();
    StoreLock prune;
    std::string why;
    EXPECT_FALSE(prune.Acquire(fs::path("backup") / BackupStore::kReadersLockName, 0, &why));
    flow_.CancelRestore();
    EXPECT_TRUE(prune.Acquire(fs::path("backup") / BackupStore::kReadersLockName, 0, &why)) << why;
    prune.Release();
    WriteFile("box/image.bin", std::string(5000, 'i'));
    flow_.Compare();
    EXPECT_EQ(States()[1], "image.bin: same");
}

TEST_F(BackupsFlowTest, ATextFileTooDifferentForALineDiffSaysSoWithItsFirstDifference) {
    // Lines of two kinds in two orders: more to match than the line diff may spend.
    const auto lines = [](unsigned seed) {
        std::mt19937 random(seed);
        std::string text;
        for (int k = 0; k < 8000; ++k) {
            text += random() % 2 ? "x\n" : "y\n";
        }
        return text;
    };
    WriteFile("box/settings.txt", lines(1));
    flow_.BackUp();
    WriteFile("box/settings.txt", lines(7));
    Restart();
    flow_.Compare();
    ASSERT_EQ(flow_.DiffSourceOf(0), DiffSource::kBoxCopy);
    const ShownDiff diff = flow_.DiffOf(0);
    EXPECT_FALSE(diff.shown);
    EXPECT_NE(diff.why.find("No diff of settings.txt: too different to show line by line: 16000 "
                            "-> 16000 bytes, first difference at byte "),
              std::string::npos)
        << diff.why;
}

TEST_F(BackupsFlowTest, AChangedTextFileShowsItsDiffBesideTheBoxOrTheBackupBefore) {
    flow_.BackUp();
    WriteFile("box/settings.txt", "a=2\n");
    WriteFile("box/image.bin", "changed");
    Restart();
    flow_.Compare();
    EXPECT_EQ(States(), (std::vector<std::string>{"settings.txt: differs", "image.bin: differs"}));
    EXPECT_EQ(flow_.DiffSourceOf(0), DiffSource::kBoxCopy);
    EXPECT_EQ(flow_.DiffSourceOf(1), DiffSource::kNone);  // binary
    const std::string folder = flow_.Backups()[0].folder;
    ShownDiff diff = flow_.DiffOf(0);
    ASSERT_TRUE(diff.shown) << diff.why;
    EXPECT_EQ(diff.unified, "--- " + folder + "/settings.txt\n+++ box/settings.txt\n" +
                                "@@ -1 +1 @@\n-a=1\n+a=2\n");

    flow_.BackUp();  // selected; its settings.txt differs from the backup before's
    ASSERT_EQ(flow_.Backups().size(), 2u);
    EXPECT_EQ(flow_.DiffSourceOf(0), DiffSource::kPreviousBackup);
    diff = flow_.DiffOf(0);
    ASSERT_TRUE(diff.shown) << diff.why;
    EXPECT_NE(diff.unified.find("--- " + folder + "/settings.txt\n"), std::string::npos);
    EXPECT_NE(diff.unified.find("-a=1\n+a=2\n"), std::string::npos);
    // A file altered after the backup was taken is not shown as the backup's.
    WriteFile((fs::path("backup") / flow_.Backups()[0].folder / "settings.txt").string(), "a=3\n");
    diff = flow_.DiffOf(0);
    EXPECT_FALSE(diff.shown);
    EXPECT_NE(diff.why.find("fails the backup's checksum"), std::string::npos) << diff.why;
    flow_.Select(1);  // the oldest: nothing before it
    EXPECT_EQ(flow_.DiffSourceOf(0), DiffSource::kNone);
    EXPECT_FALSE(flow_.DiffOf(0).shown);
}

TEST_F(BackupsFlowTest, ADamagedBackupIsRefusedBeforeAnythingIsSent) {
    flow_.BackUp();
    const fs::path folder = fs::path("backup") / flow_.Backups()[0].folder;
    WriteFile((folder / "settings.txt").string(), "a=9\n");
    WriteFile("box/settings.txt", "a=2\n");
    ClearReceivedAfter(2);
    const RestoreQuestion question = flow_.PrepareRestore();
    EXPECT_FALSE(question.ask);
    EXPECT_EQ(flow_.Status(), "The backup in " + (fs::path("backup") / folder.filename()).string() +
                                  " is damaged (settings.txt); nothing was sent.");
    EXPECT_EQ(States(), (std::vector<std::string>{"settings.txt: damaged", "image.bin: "}));
    EXPECT_TRUE(box_->Received().empty());
    EXPECT_EQ(ReadFile("box/settings.txt"), "a=2\n");
}

TEST(BackupsFlowWordsTest, AMalformedListIsTheReasonTheWindowGives) {
    TempDir dir;
    wire::ListPayload list;
    list.count = -1;
    ScriptedBox box;
    box.LoginAndList(B(wire::EncodeListPayload(list))).Start();
    BoxSocket socket;
    BoxSession session(&socket);
    ASSERT_TRUE(socket.Connect("127.0.0.1", box.Port(), 5000));
    ASSERT_EQ(session.Login(box_defaults::kPassword), BoxSession::kLoginOk);
    BackupsFlow flow(session, "backup", "127.0.0.1");
    flow.BackUp();
    socket.Close();
    box.Finish();
    EXPECT_NE(flow.Status().find(": 0 of 0 file(s) saved; the box sent an invalid file list (a "
                                 "count of -1, not 0 to 28), so it may hold files not named here."),
              std::string::npos)
        << flow.Status();
}

TEST_F(BackupsFlowTest, AFailedBackupNamesTheFilesNotSaved) {
    WriteFile("box/manifest.txt", "Config settings.txt 1\nData image.bin 2\nData gone.bin 2\n");
    Restart();
    flow_.BackUp();
    EXPECT_NE(flow_.Status().find(": 2 of 3 file(s) saved; not saved: gone.bin."),
              std::string::npos)
        << flow_.Status();
    EXPECT_EQ(flow_.Status().rfind("INCOMPLETE backup in backup", 0), 0u);
    EXPECT_EQ(flow_.Backups()[0].StateText(), "incomplete");
    EXPECT_EQ(shown_.percents.back(), 0);  // the bar does not stay full
    flow_.ReadShelf();
    EXPECT_EQ(flow_.Status(), "");
}
