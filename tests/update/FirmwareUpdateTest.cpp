// The update's flow against the substitute box over loopback: each case a
// box that updates (or fails, stays away, forgets its password) and the
// steps' results, what the box holds afterwards and what the store gained.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/DemoContent.h"
#include "tests/support/BoxRig.h"
#include "update/FirmwareUpdate.h"
#include "update/UpdateReport.h"
#include "update/UpdateWords.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUserConfig = "language=de\n";

// Each step's and file's report kept; stops once `stopAfter` steps are done.
struct Recorder : UpdateReport {
    void StepDone(const StepOutcome& outcome) override {
        results.push_back(WordsOf(outcome.result).json);
    }
    void FileDone(const FileReport&) override {}
    void Waiting(int seconds, int bound) override {
        waited.push_back(WaitingText(seconds, bound));
        if (onWaiting) {
            onWaiting();
        }
    }
    bool StopRequested() override {
        return stopAfter >= 0 && static_cast<int>(results.size()) >= stopAfter;
    }
    std::vector<std::string> results;
    std::vector<std::string> waited;
    std::function<void()> onWaiting;
    int stopAfter = -1;
};

struct Case {
    const char* what;
    std::function<void(BoxSimOptions&)> box;
    std::function<void(UpdateRequest&)> request;
    std::vector<std::string> results;
    // What the box's config.txt holds at the end: the user's, or the factory's.
    bool userConfigAtEnd;
    size_t backups;  // in the store at the end
    int uploads;     // stored by the box, the put-back's included
};

class FirmwareUpdateFlow : public ::testing::Test {
protected:
    FirmwareUpdateFlow() {
        std::string error;
        EXPECT_TRUE(MakeDemoFolder(Box().string(), "manifest.txt", &error)) << error;
        WriteFile((Box() / "config.txt").string(), kUserConfig);
        WriteFile((Pc() / "update.pkg").string(), "firmware 2.0");
    }
    fs::path Box() const { return rig_.Path() / BoxRig::kBoxFolder; }
    fs::path Pc() const { return rig_.Path() / BoxRig::kPcFolder; }

    UpdateOutcome Run(BoxSimulator& box, UpdateRequest request, Recorder& recorder,
                      const std::string& password = "7351") {
        BoxSocket socket;
        BoxSession session(&socket);
        EXPECT_TRUE(socket.Connect(BoxRig::kLoopback, box.Port(), 3000));
        EXPECT_EQ(session.Login(password.c_str()), BoxSession::kLoginOk);
        wire::ListRecord records[wire::kMaxListRecords];
        int count = 0;
        EXPECT_EQ(session.ListFiles(records, &count), 1);
        const BoxLink link{BoxRig::kLoopback, box.Port(), password};
        const FirmwareUpdate update(std::move(request), rig_.Path() / "backup",
                                    BackupBox::Of(BoxRig::kLoopback, box.Port()), link, Pc());
        UpdateOutcome out =
            update.Run(session, std::vector<wire::ListRecord>(records, records + count), recorder);
        session.Logout();
        return out;
    }

    BoxRig rig_;
};

BoxSimOptions UpdatingBox() {
    BoxSimOptions o;
    o.updateFile = "update.pkg";
    o.updateRestartMs = 1000;
    o.updateResets = {"Settings"};
    return o;
}

UpdateRequest Request(const fs::path& pc) {
    UpdateRequest r;
    r.firmware = pc / "update.pkg";
    r.keepGroups = {"Settings"};
    r.waitSeconds = 10;
    r.retryMs = 500;
    return r;
}

TEST_F(FirmwareUpdateFlow, EachCaseEndsAtItsStepWithTheBoxAsItSays) {
    const auto none = [](auto&) {};
    const Case cases[] = {
        {"kept groups put back",
         none,
         none,
         {"checked", "sent", "back", "compared", "put-back", "backed-up"},
         true,
         2,
         2},
        {"nothing kept: the files named",
         none,
         [](UpdateRequest& r) { r.keepGroups.clear(); },
         {"checked", "sent", "back", "compared", "not-kept", "backed-up"},
         false,
         2,
         1},
        {"no backup after",
         none,
         [](UpdateRequest& r) { r.backupAfter = false; },
         {"checked", "sent", "back", "compared", "put-back", "not-backed-up"},
         true,
         1,
         2},
        {"the box rejects it",
         [](BoxSimOptions& o) { o.updateFails = "Bad signature"; },
         none,
         {"checked", "box-failed"},
         true,
         1,
         0},
        {"the box stays away",
         [](BoxSimOptions& o) { o.updateRestartMs = 5000; },
         [](UpdateRequest& r) { r.waitSeconds = 1; },
         {"checked", "sent", "never-back"},
         true,
         1,
         1},
        {"dry run",
         none,
         [](UpdateRequest& r) { r.dryRun = true; },
         {"checked", "would-send"},
         true,
         1,
         0},
        {"no such local file",
         none,
         [](UpdateRequest& r) { r.firmware += ".missing"; },
         {"no-local-file"},
         true,
         0,
         0},
        {"a folder",
         none,
         [](UpdateRequest& r) { r.firmware = r.firmware.parent_path(); },
         {"not-a-file"},
         true,
         0,
         0},
        {"a name the box does not list",
         none,
         [](UpdateRequest& r) { r.firmware.replace_filename("other.pkg"); },
         {"not-listed"},
         true,
         0,
         0},
        {"a group the box does not list",
         none,
         [](UpdateRequest& r) { r.keepGroups.push_back("Radio"); },
         {"group-not-listed"},
         true,
         0,
         0},
    };
    WriteFile((Pc() / "other.pkg").string(), "x");
    std::string factory;
    ASSERT_TRUE(DemoContentOf("config.txt", &factory));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile((Box() / "config.txt").string(), kUserConfig);
        fs::remove_all(rig_.Path() / "backup");
        BoxSimOptions o = UpdatingBox();
        c.box(o);
        BoxSimulator& box = rig_.StartBox(o);
        UpdateRequest request = Request(Pc());
        c.request(request);
        Recorder recorder;
        const UpdateOutcome out = Run(box, request, recorder);
        EXPECT_EQ(recorder.results, c.results);
        EXPECT_EQ(ReadFile((Box() / "config.txt").string()),
                  c.userConfigAtEnd ? kUserConfig : factory);
        EXPECT_EQ(BackupStore(rig_.Path() / "backup").List().size(), c.backups);
        EXPECT_EQ(box.Stats().uploadsStored, c.uploads);
        EXPECT_EQ(ReadFile((Pc() / "update.pkg").string()), "firmware 2.0");  // only read
        box.Stop();
    }
}

TEST_F(FirmwareUpdateFlow, ReportsTheBoxsMessagesChangesAndWhatWentBack) {
    BoxSimulator& box = rig_.StartBox(UpdatingBox());
    Recorder recorder;
    const UpdateOutcome out = Run(box, Request(Pc()), recorder);
    ASSERT_TRUE(out.Succeeded());
    ASSERT_EQ(out.boxSaid.size(), 3u);
    EXPECT_EQ(out.boxSaid.back().text, "Update done, restarting");
    std::vector<std::string> changed;
    for (const FileReport& f : out.changes) {
        changed.push_back(f.name + " " + FileResultName(f.result));
    }
    EXPECT_EQ(changed, (std::vector<std::string>{"config.txt differs", "update.pkg differs"}));
    ASSERT_EQ(out.putBack.size(), 1u);
    EXPECT_EQ(out.putBack[0].name, "config.txt");
    EXPECT_EQ(out.putBack[0].verified, Verified::kYes);
    EXPECT_FALSE(out.backupAfter.empty());
    EXPECT_NE(out.backupAfter, out.backupBefore);
    // Waited once at least, within the bound, in the progress line's words.
    ASSERT_FALSE(recorder.waited.empty());
    EXPECT_EQ(recorder.waited[0], "waiting for the box: 0 s of 10");
}

TEST_F(FirmwareUpdateFlow, APasswordRefusedAfterTheRestartIsNamedAndNoOtherIsTried) {
    BoxSimOptions o = UpdatingBox();
    o.updateRestartMs = 3000;
    BoxSimulator& box = rig_.StartBox(o);
    // While it restarts, the box comes back on its port with another password.
    std::unique_ptr<BoxSimulator> reset;
    Recorder recorder;
    recorder.onWaiting = [&] {
        if (reset != nullptr) {
            return;
        }
        box.Stop();
        BoxSimOptions again;
        again.folder = Box().string();
        again.port = box.Port();
        again.password = "1111";
        again.recordReceived = true;
        reset = std::make_unique<BoxSimulator>(again);
        std::string error;
        EXPECT_TRUE(reset->Start(&error)) << error;
    };
    const UpdateOutcome out = Run(box, Request(Pc()), recorder);
    EXPECT_EQ(recorder.results, (std::vector<std::string>{"checked", "sent", "password-refused"}));
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->Stats().loginsRefused, 1);  // tried once, with the password given
    EXPECT_EQ(reset->Stats().loginsAccepted, 0);
    const std::string text = OutcomeText(*out.Failure());
    EXPECT_NE(text.find("an update may reset it to the factory password (7351)"), std::string::npos)
        << text;
}

TEST_F(FirmwareUpdateFlow, StopsBetweenStepsAndSaysWhere) {
    const struct {
        int stopAfter;
        std::vector<std::string> results;
    } cases[] = {
        {1, {"checked", "stopped"}},
        {2, {"checked", "sent", "stopped"}},
        {4, {"checked", "sent", "back", "compared", "stopped"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAfter);
        BoxSimulator& box = rig_.StartBox(UpdatingBox());
        Recorder recorder;
        recorder.stopAfter = c.stopAfter;
        const UpdateOutcome out = Run(box, Request(Pc()), recorder);
        EXPECT_EQ(recorder.results, c.results);
        ASSERT_NE(out.Failure(), nullptr);
        EXPECT_EQ(out.Failure()->result, StepResult::kStopped);
        box.Stop();
    }
}

}  // namespace
