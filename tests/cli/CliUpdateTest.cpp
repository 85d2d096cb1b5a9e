// velqo-cli update's wiring: one run per way it ends, against a substitute
// box that updates itself. What each step does is the update library's to
// test (tests/update).
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "boxsim/DemoContent.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TextChecks.h"

namespace {

constexpr const char* kUserConfig = "language=de\n";
constexpr int kEndMs = 20000;

class CliUpdate : public ::testing::Test {
protected:
    CliUpdate() {
        std::string error;
        EXPECT_TRUE(MakeDemoFolder(BoxRig::kBoxFolder, "manifest.txt", &error)) << error;
        WriteFile("box/config.txt", kUserConfig);
        WriteFile("pc/update.pkg", "firmware 2.0");
    }
    static BoxSimOptions UpdatingBox() {
        BoxSimOptions o;
        o.updateFile = "update.pkg";
        o.updateRestartMs = 1000;
        o.updateResets = {"Settings"};
        o.password = "2468";
        return o;
    }
    static ProgramResult Cli(const BoxSimulator& box, std::vector<std::string> args,
                             const std::string& password = "2468") {
        args.insert(args.begin(), {"--password", password});
        ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), BoxRig::PointedAt(box, args));
        r.out = Lf(r.out);
        r.err = Lf(r.err);
        return r;
    }

    BoxRig rig_;
};

TEST_F(CliUpdate, EachWayItEndsHasItsStatusAndLine) {
    const auto none = [](BoxSimOptions&) {};
    const struct {
        const char* what;
        std::function<void(BoxSimOptions&)> box;
        std::vector<std::string> args;
        std::string password;
        int status;
        std::string said;  // in stdout and stderr together
    } cases[] = {
        {"done",
         none,
         {"update", "--keep-group", "Settings", "update.pkg"},
         "2468",
         0,
         "put back: put back 1 file(s): config.txt, each read back and verified\n"},
        {"rejected",
         [](BoxSimOptions& o) { o.updateFails = "Bad signature"; },
         {"update", "update.pkg"},
         "2468",
         1,
         "velqo-cli: send: the box rejected the update: \"Bad signature\""},
        {"never back",
         [](BoxSimOptions& o) { o.updateRestartMs = 30000; },
         {"update", "--wait", "2", "update.pkg"},
         "2468",
         1,
         "velqo-cli: wait for the box: the box did not come back within 2 s"},
        {"no firmware named", none, {"update"}, "2468", 2, "update needs"},
        {"a wait that is no number",
         none,
         {"update", "--wait", "5m", "update.pkg"},
         "2468",
         2,
         "--wait"},
        {"wrong password", none, {"update", "update.pkg"}, "1357", 3, "refused the password"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BoxSimOptions o = UpdatingBox();
        c.box(o);
        const BoxSimulator& box = rig_.StartBox(o);
        const ProgramResult r = Cli(box, c.args, c.password);
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
    }
}

TEST_F(CliUpdate, AfterTheUpdateTheHistoryShowsItAsOneStep) {
    const BoxSimulator& box = rig_.StartBox(UpdatingBox());
    ASSERT_EQ(Cli(box, {"update", "--keep-group", "Settings", "update.pkg"}).status, 0);
    EXPECT_EQ(ReadFile("box/config.txt"), kUserConfig);
    const ProgramResult diff = Cli(box, {"diff", "--names-only", "latest~1", "latest"});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_NE(diff.out.find("changed update.pkg"), std::string::npos) << diff.out;
    EXPECT_EQ(diff.out.find("changed config.txt"), std::string::npos) << diff.out;  // put back
}

TEST_F(CliUpdate, CtrlCStopsBetweenStepsAndSaysWhere) {
    BoxSimOptions o = UpdatingBox();
    o.updateRestartMs = 30000;
    const BoxSimulator& box = rig_.StartBox(o);
    BackgroundProgram cli(SiblingProgram("velqo-cli"),
                          BoxRig::PointedAt(box, {"--password", "2468", "update", "update.pkg"}));
    ASSERT_TRUE(cli.Started());
    ASSERT_TRUE(WaitUntil(
        [&] { return cli.Err().find("waiting for the box") != std::string::npos; }, kEndMs))
        << cli.Err();
    ASSERT_TRUE(cli.Signal(SIGINT));
    ASSERT_TRUE(cli.Wait(kEndMs));
    EXPECT_EQ(cli.ExitStatus(), 1);
    EXPECT_NE(cli.Err().find("stopped at the step wait for the box: the box holds the update"),
              std::string::npos)
        << cli.Err();
}

}  // namespace
