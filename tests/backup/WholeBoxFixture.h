#pragma once
// The whole-box library's tests: a substitute box on a folder of three files,
// served on loopback from this process, a session logged in to it, and a
// report that keeps what it is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/BoxBackup.h"
#include "backup/WholeBoxReport.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/BoxRig.h"

struct Recorder : WholeBoxReport {
    void FileStarting(int index, int count, const std::string& name) override {
        progress.push_back(std::to_string(index) + "/" + std::to_string(count) + " " + name);
    }
    void FileDone(const FileReport& file) override { files.push_back(file); }

    std::map<std::string, std::string> Results() const {
        std::map<std::string, std::string> results;
        for (const FileReport& f : files) {
            results[f.name] = FileResultName(f.result);
        }
        return results;
    }

    std::vector<std::string> progress;
    std::vector<FileReport> files;
};

class WholeBoxTest : public ::testing::Test {
protected:
    WholeBoxTest() {
        WriteFile("box/manifest.txt",
                  "Config settings.txt 1\nData image.bin 2\nLogs empty.log 3\n");
        WriteFile("box/settings.txt", "a=1\n");
        WriteFile("box/image.bin", std::string(3000, 'i'));
        WriteFile("box/empty.log", "");
    }

    // A box on the folder, logged in with its list fetched.
    void Open(BoxSimOptions options = {}) {
        session_.reset();
        socket_.Close();
        if (box_ != nullptr) {
            box_->Stop();
        }
        box_ = &rig_.StartBox(options);
        LogIn(box_->Port());
    }

    // Logged in to the box at the loopback port, with its list fetched.
    void LogIn(uint16_t port) {
        ASSERT_TRUE(socket_.Connect(BoxRig::kLoopback, port, 5000));
        session_ = std::make_unique<BoxSession>(&socket_);
        ASSERT_EQ(session_->Login(box_defaults::kPassword), BoxSession::kLoginOk);
        wire::ListRecord records[wire::kMaxListRecords];
        int count = 0;
        ASSERT_EQ(session_->ListFiles(records, &count), 1);
        listed_.assign(records, records + count);
    }

    // A backup of the box into the store, told to `report`.
    BackupOutcome RunBackup(WholeBoxReport& report, const std::string& store = "backups") {
        return BoxBackup(store, BackupBox::Of(BoxRig::kLoopback, box_defaults::kPort))
            .Run(*session_, listed_, report);
    }

    std::filesystem::path Backup() {
        Recorder report;
        const BackupOutcome outcome = RunBackup(report);
        EXPECT_EQ(outcome.status, BackupOutcome::Status::kComplete);
        return outcome.folder;
    }

    // A box opened and backed up, its backup read back into `backup`.
    void OpenAndBackUp(BackupContents* backup) {
        Open();
        const std::filesystem::path folder = Backup();
        ASSERT_EQ(backup->Load(folder, nullptr), BackupContents::Check::kOk);
    }

    BoxRig rig_;
    BoxSimulator* box_ = nullptr;  // not owned: the rig's
    BoxSocket socket_;
    std::unique_ptr<BoxSession> session_;
    std::vector<wire::ListRecord> listed_;
};
