// The backups dialog's firmware update against the substitute box over
// loopback: the groups offered, the question, and each step's row, the line
// under way and the status at the end, as the dialog shows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/DemoContent.h"
#include "tests/support/BoxRig.h"
#include "ui/flow/UpdateFlow.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUserConfig = "language=de\n";
constexpr int kWaitSeconds = 10;
constexpr int kRetryMs = 200;

// Each row as "step | title | state", each line as told; asks for a stop
// once `stopAt` rows have been told.
struct Shown : UpdateProgress {
    void UpdateRowChanged(int row, const UpdateRow& text) override {
        rows.resize(std::max(rows.size(), static_cast<size_t>(row) + 1));
        rows[static_cast<size_t>(row)] = text.step + " | " + text.title + " | " + text.state;
        ++told;
        if (onRow) {
            onRow(told);
        }
    }
    void UpdateLineChanged(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> rows;
    std::vector<std::string> lines;
    int told = 0;
    std::function<void(int)> onRow;
};

class UpdateFlowTest : public ::testing::Test {
protected:
    UpdateFlowTest() {
        std::string error;
        EXPECT_TRUE(MakeDemoFolder(BoxRig::kBoxFolder, "manifest.txt", &error)) << error;
        WriteFile("box/config.txt", kUserConfig);
        fs::create_directories(BoxRig::kPcFolder);
        WriteFile("pc/update.pkg", "firmware 2.0");
    }

    // Logs in on a box updating on update.pkg, with `change` made to its options.
    void Start(const std::function<void(BoxSimOptions&)>& change) {
        BoxSimOptions o;
        o.updateFile = "update.pkg";
        o.updateRestartMs = 300;
        o.updateResets = {"Settings"};
        change(o);
        BoxSimulator& box = rig_.StartBox(o);
        ASSERT_TRUE(socket_.Connect(BoxRig::kLoopback, box.Port(), 3000));
        ASSERT_EQ(session_.Login(box_defaults::kPassword), BoxSession::kLoginOk);
    }

    // The rows' first two columns: which steps ran.
    static std::vector<std::string> Steps(const std::vector<std::string>& rows) {
        std::vector<std::string> steps;
        for (const std::string& r : rows) {
            steps.push_back(r.substr(0, r.find(" | ", r.find(" | ") + 3)));
        }
        return steps;
    }

    BoxRig rig_;
    BoxSocket socket_;
    BoxSession session_{&socket_};
    UpdateFlow flow_{session_, "backup", BoxRig::kLoopback, box_defaults::kPassword};
};

TEST_F(UpdateFlowTest, OffersTheListedGroupsAndAsksOnce) {
    Start([](BoxSimOptions&) {});
    ASSERT_TRUE(flow_.ListBox());
    EXPECT_EQ(flow_.Groups(),
              (std::vector<std::string>{"Settings", "Channels", "Pictures", "Firmware"}));
    const std::string asked = UpdateFlow::Confirmation("pc/update.pkg", {"Settings"});
    EXPECT_EQ(asked.rfind("A backup of the box is made first; then update.pkg is sent and the box "
                          "restarts",
                          0),
              0u)
        << asked;
    EXPECT_NE(asked.find("the changed files of Settings are put back"), std::string::npos);
    EXPECT_NE(UpdateFlow::Confirmation("pc/update.pkg", {}).find("nothing is put back"),
              std::string::npos);
    session_.Logout();
    EXPECT_FALSE(flow_.ListBox());
    EXPECT_EQ(flow_.Status(),
              "No update: the box's list of files could not be read; nothing was sent.");
}

struct Case {
    const char* what;
    std::function<void(BoxSimOptions&)> box;
    std::vector<std::string> keep;
    int stopAtRow;  // a stop asked once that many rows were told; 0: none
    std::vector<std::string> steps;
    std::vector<std::string> changeRows;  // after the steps
    std::string statusStart;
    bool userConfigAtEnd;
};

TEST_F(UpdateFlowTest, EachStepIsARowAndTheEndIsTheStatus) {
    const auto none = [](BoxSimOptions&) {};
    const Case cases[] = {
        {"kept group put back",
         none,
         {"Settings"},
         0,
         {"step 1 | check", "step 2 | send", "step 3 | wait for the box", "step 4 | compare",
          "step 5 | put back", "step 6 | back up again"},
         {"Settings | config.txt | changed by the update; put back: verified",
          "Firmware | update.pkg | changed by the update"},
         "Firmware updated: the update changed 2 file(s); put back 1 file(s): config.txt, each "
         "read back and verified. Backups: before in backup",
         true},
        {"nothing kept",
         none,
         {},
         0,
         {"step 1 | check", "step 2 | send", "step 3 | wait for the box", "step 4 | compare",
          "step 5 | put back", "step 6 | back up again"},
         {"Settings | config.txt | changed by the update",
          "Firmware | update.pkg | changed by the update"},
         "Firmware updated: the update changed 2 file(s); the update changed config.txt; put "
         "them back with: velqo-cli restore",
         false},
        {"the box rejects it",
         [](BoxSimOptions& o) { o.updateFails = "Bad signature"; },
         {"Settings"},
         0,
         {"step 1 | check", "step 2 | send"},
         {},
         "Update failed at the step send: the box rejected the update: \"Bad signature\"",
         true},
        // Asked while the backup of the check runs: it ends first.
        {"stopped during the first step",
         none,
         {"Settings"},
         1,
         {"step 1 | check", "step 2 | send"},
         {},
         "Update stopped at the step send: nothing was sent; the backup is in backup",
         true},
    };
    std::string factory;
    std::string firmware;
    ASSERT_TRUE(DemoContentOf("config.txt", &factory));
    ASSERT_TRUE(DemoContentOf("update.pkg", &firmware));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile("box/config.txt", kUserConfig);
        WriteFile("box/update.pkg", firmware);  // the firmware before the update
        fs::remove_all("backup");
        socket_.Close();
        Start(c.box);
        Shown shown;
        shown.onRow = [&](int told) {
            if (told == c.stopAtRow) {
                EXPECT_FALSE(flow_.CanStopNow());  // the check under way
                flow_.RequestStop();
            }
        };
        flow_.SetProgress(&shown);
        flow_.WorkStarting();
        ASSERT_TRUE(flow_.ListBox());
        flow_.Run(fs::absolute("pc/update.pkg"), c.keep, kWaitSeconds, kRetryMs);
        EXPECT_TRUE(flow_.CanStopNow());
        std::vector<std::string> steps = Steps(shown.rows);
        steps.resize(c.steps.size());
        EXPECT_EQ(steps, c.steps);
        std::vector<std::string> changeRows(shown.rows.begin() + static_cast<long>(c.steps.size()),
                                            shown.rows.end());
        EXPECT_EQ(changeRows, c.changeRows);
        // The rows told are the rows kept; the last line is the status.
        std::vector<std::string> kept;
        for (const UpdateRow& r : flow_.Rows()) {
            kept.push_back(r.step + " | " + r.title + " | " + r.state);
        }
        EXPECT_EQ(kept, shown.rows);
        EXPECT_EQ(flow_.Status().rfind(c.statusStart, 0), 0u) << flow_.Status();
        ASSERT_FALSE(shown.lines.empty());
        EXPECT_EQ(shown.lines.back(), flow_.Status());
        EXPECT_EQ(ReadFile("box/config.txt"), c.userConfigAtEnd ? kUserConfig : factory);
        session_.Logout();
    }
}

TEST_F(UpdateFlowTest, TellsTheStepsTheFilesAndTheWaitAsTheyGo) {
    Start([](BoxSimOptions&) {});
    Shown shown;
    std::vector<std::string> states;  // of the first row, as told
    shown.onRow = [&](int) { states.push_back(shown.rows[0]); };
    flow_.SetProgress(&shown);
    flow_.WorkStarting();
    ASSERT_TRUE(flow_.ListBox());
    flow_.Run(fs::absolute("pc/update.pkg"), {"Settings"}, kWaitSeconds, kRetryMs);
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[0], "step 1 | check | under way");
    EXPECT_EQ(states[1].rfind("step 1 | check | the box lists update.pkg; complete backup in "
                              "backup",
                              0),
              0u)
        << states[1];
    const auto told = [&](const std::string& line) {
        return std::find(shown.lines.begin(), shown.lines.end(), line) != shown.lines.end();
    };
    EXPECT_TRUE(told("Step 1 of 6: check...")) << shown.lines.front();
    EXPECT_TRUE(told("Check: file 1 of 7: config.txt"));
    EXPECT_TRUE(told("Step 3 of 6: wait for the box..."));
    EXPECT_TRUE(told("Waiting for the box: 0 s of 10"));
    EXPECT_TRUE(told("Put back: file 1 of 1: config.txt"));
    EXPECT_EQ(BackupStore("backup").List().size(), 2u);
    EXPECT_TRUE(flow_.Outcome().Succeeded());
}

}  // namespace
