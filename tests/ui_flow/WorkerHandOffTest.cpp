// A backups operation on a worker thread, as the window runs it: everything
// the worker reports (the flow's progress, the session's log lines and
// percentages) goes through a WorkerMailbox into a fake window queue, which
// this thread empties; and Cancel from this thread, between files or by
// breaking the link in the middle of one.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/TempDir.h"
#include "ui/flow/BackupsFlow.h"
#include "ui/flow/PostedProgress.h"
#include "ui/flow/WorkerMailbox.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMostWaitMs = 20000;
constexpr size_t kLargeSize = 120 * 1024;  // 120 paced blocks: a few seconds

class WorkerHandOffTest : public ::testing::Test {
protected:
    WorkerHandOffTest() {
        fs::create_directories("box");
        WriteFile("box/manifest.txt",
                  "Config settings.txt 1\nData large.bin 2\nData image.bin 2\n");
        WriteFile("box/settings.txt", "a=1\n");
        WriteFile("box/large.bin", std::string(kLargeSize, 'L'));
        WriteFile("box/image.bin", std::string(3000, 'i'));
        BoxSimOptions options;
        options.folder = "box";
        options.port = 0;
        options.waitPhase = true;
        options.paceMs = 20;
        box_ = std::make_unique<BoxSimulator>(options);
        std::string error;
        EXPECT_TRUE(box_->Start(&error)) << error;
        EXPECT_TRUE(socket_.Connect("127.0.0.1", box_->Port(), 5000));
        EXPECT_EQ(session_.Login(box_defaults::kPassword), BoxSession::kLoginOk);
        current_ = this;
        session_.SetLogSink(&Logged);
        session_.SetProgressSink(&Percent);
        flow_.SetProgress(&posted_);
    }
    ~WorkerHandOffTest() override { current_ = nullptr; }

    // As the window's sinks do on the worker: handed over, nothing shown.
    static int Logged(const char* text, int color) {
        current_->mailbox_.Post(WorkerEvent::Log(text, color));
        return 0;
    }
    static int Percent(int percent) {
        current_->flow_.TransferPercent(percent);
        current_->mailbox_.Post(WorkerEvent::Bar(percent));
        return 0;
    }

    // Runs `work` on a worker and empties the mailbox on each wake-up, telling
    // `seen` of each event, until the worker's end; false when it never came.
    bool Run(const std::function<void()>& work,
             const std::function<void(const WorkerEvent&)>& seen = {}) {
        flow_.WorkStarting();
        std::jthread worker([&] {
            work();
            mailbox_.Post(WorkerEvent::Done());
        });
        while (wakes_.try_acquire_for(std::chrono::milliseconds(kMostWaitMs))) {
            for (const WorkerEvent& e : mailbox_.Take()) {
                if (e.kind == WorkerEvent::Kind::kCall) {
                    e.call();  // the backups side's payload, on this thread
                }
                events_.push_back(e);
                if (seen) {
                    seen(e);
                }
                if (e.kind == WorkerEvent::Kind::kDone) {
                    return true;
                }
            }
        }
        flow_.BreakOff();
        return false;
    }

    std::vector<std::string> Of(WorkerEvent::Kind kind) const {
        std::vector<std::string> texts;
        for (const WorkerEvent& e : events_) {
            if (e.kind == kind) {
                texts.push_back(std::to_string(e.number) + " " + e.text);
            }
        }
        return texts;
    }

    // The backups side of the window's thread: what the posted calls told it.
    struct Shown : BackupsProgress {
        void OverallChanged(int percent) override { overall.push_back(percent); }
        void FileStarting(int index, int, const std::string& name) override {
            files.push_back(std::to_string(index) + " " + name);
            current = name;
        }
        void FileRowChanged(int, const FileStateRow& file) override {
            rows.push_back(file.name + ": " + file.state);
        }
        std::vector<int> overall;
        std::vector<std::string> files;
        std::vector<std::string> rows;
        std::string current;  // the file under way
    };

    static WorkerHandOffTest* current_;
    TempDir dir_;
    std::unique_ptr<BoxSimulator> box_;
    BoxSocket socket_;
    BoxSession session_{&socket_};
    BackupsFlow flow_{session_, "backup", "127.0.0.1"};
    // The window's message queue, as far as the mailbox sees it: wake-ups.
    std::counting_semaphore<> wakes_{0};
    WorkerMailbox mailbox_{[this] { wakes_.release(); }};
    Shown shown_;
    PostedProgress posted_{mailbox_, shown_};
    std::vector<WorkerEvent> events_;
};

WorkerHandOffTest* WorkerHandOffTest::current_ = nullptr;

}  // namespace

TEST_F(WorkerHandOffTest, EverythingTheWorkerReportsReachesTheWindowInOrder) {
    ASSERT_TRUE(Run([this] { flow_.BackUp(); }));
    EXPECT_EQ(shown_.files,
              (std::vector<std::string>{"1 settings.txt", "2 large.bin", "3 image.bin"}));
    EXPECT_EQ(shown_.rows, (std::vector<std::string>{"settings.txt: saved", "large.bin: saved",
                                                     "image.bin: saved"}));
    ASSERT_FALSE(shown_.overall.empty());
    EXPECT_EQ(shown_.overall.back(), 100);
    EXPECT_FALSE(Of(WorkerEvent::Kind::kBar).empty());
    std::string log;
    for (const std::string& line : Of(WorkerEvent::Kind::kLog)) {
        log += line.substr(2);  // after the colour
    }
    EXPECT_NE(log.find("PC > Backed up 3 file(s) into backup"), std::string::npos) << log;
    // The window's own view after the end matches what it was told.
    EXPECT_EQ(flow_.Files().size(), 3u);
    EXPECT_EQ(flow_.Status().rfind("Backed up 3 file(s)", 0), 0u) << flow_.Status();
}

TEST_F(WorkerHandOffTest, CancelStopsAfterTheFileUnderWayOrBreaksItOff) {
    struct Case {
        const char* what;
        bool breakOff;       // false: a stop asked while the large file is under way
        bool linkUsable;     // afterwards
        const char* status;  // how the status begins
        const char* statusHas;
    } cases[] = {
        {"stop", false, true, "Stopped: INCOMPLETE backup in backup",
         ": 2 of 3 file(s) saved; the others were not reached."},
        {"break off", true, false, "Stopped: INCOMPLETE backup in backup",
         ": 1 of 3 file(s) saved; not saved: large.bin; the others were not reached. The "
         "transfer of large.bin was broken off by closing the link: log in again."},
    };
    for (const Case& c : cases) {
        fs::remove_all("backup");
        events_.clear();
        shown_ = {};
        if (!socket_.IsConnected() || session_.LinkLost()) {
            EXPECT_TRUE(socket_.Connect("127.0.0.1", box_->Port(), 5000));
            EXPECT_EQ(session_.Login(box_defaults::kPassword), BoxSession::kLoginOk);
        }
        bool inLarge = false;
        bool asked = false;
        ASSERT_TRUE(Run([this] { flow_.BackUp(); },
                        [&](const WorkerEvent& e) {
                            inLarge = shown_.current == "large.bin";
                            // Part of the large file has come: Cancel.
                            if (inLarge && !asked && e.kind == WorkerEvent::Kind::kBar &&
                                e.number > 0 && e.number < 50) {
                                asked = true;
                                c.breakOff ? flow_.BreakOff() : flow_.RequestStop();
                            }
                        }))
            << c.what;
        EXPECT_TRUE(asked) << c.what;
        EXPECT_EQ(flow_.Status().rfind(c.status, 0), 0u) << c.what << ": " << flow_.Status();
        EXPECT_NE(flow_.Status().find(c.statusHas), std::string::npos)
            << c.what << ": " << flow_.Status();
        EXPECT_EQ(flow_.LinkUsable(), c.linkUsable) << c.what;
        // The broken-off backup stays incomplete, holding no half file.
        ASSERT_EQ(flow_.Backups().size(), 1u) << c.what;
        EXPECT_EQ(flow_.Backups()[0].StateText(), "incomplete") << c.what;
        const fs::path folder = fs::path("backup") / flow_.Backups()[0].folder;
        EXPECT_EQ(fs::exists(folder / "large.bin"), !c.breakOff) << c.what;
        if (!c.breakOff) {
            EXPECT_EQ(fs::file_size(folder / "large.bin"), kLargeSize) << c.what;
        }
        EXPECT_FALSE(fs::exists(folder / "image.bin")) << c.what;
        EXPECT_NE(ReadFile((folder / "INCOMPLETE").string()).find("image.bin"), std::string::npos)
            << c.what;
    }
}

TEST_F(WorkerHandOffTest, ARestoreBrokenOffMidFileSaysTheBoxMayHoldPartOfIt) {
    ASSERT_TRUE(Run([this] { flow_.BackUp(); }));
    WriteFile("box/large.bin", "changed");
    ASSERT_TRUE(Run([this] { ASSERT_TRUE(flow_.PrepareRestore().ask) << flow_.Status(); }));
    bool asked = false;
    ASSERT_TRUE(Run([this] { flow_.Restore(); },
                    [&](const WorkerEvent& e) {
                        if (!asked && e.kind == WorkerEvent::Kind::kBar && e.number > 0 &&
                            e.number < 50) {
                            asked = true;
                            flow_.BreakOff();
                        }
                    }));
    EXPECT_TRUE(asked);
    EXPECT_EQ(flow_.Status().rfind("Restored 0 of 3 file(s) from " +
                                       (fs::path("backup") / flow_.Backups()[0].folder).string() +
                                       ", verified, 0 skipped, 1 failed, 1 unchanged; failed: "
                                       "large.bin; stopped, not sent: image.bin.",
                                   0),
              0u)
        << flow_.Status();
    EXPECT_NE(flow_.Status().find("The box may hold only part of large.bin"), std::string::npos)
        << flow_.Status();
    EXPECT_FALSE(flow_.LinkUsable());
}
