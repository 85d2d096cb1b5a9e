// How velqo-cli ends the commands that hostile backup folders, a box's
// untrustworthy list and refusing boxes reach: status and lines, one run per
// way out, on real files over loopback. What the backup library makes of each
// case is tested in tests/backup/HostileBackupFolderTest. POSIX only: a link.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "box/WireFormat.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/SymbolicLink.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

class CliHostileBackup : public ::testing::Test {
protected:
    CliHostileBackup() {
        WriteFile("box/manifest.txt", "G a.txt 1\nG b.txt 1\n");
        folder_ = WriteStoredBackup(fs::path(BoxRig::kPcFolder) / "backups",
                                    StoredName("127.0.0.1", "20260101120000"),
                                    {{"G", "a.txt", 1, "ay"}, {"G", "b.txt", 1, "bee"}});
        backup_ = folder_.lexically_relative(BoxRig::kPcFolder).string();
    }

    static ProgramResult Cli(uint16_t port, std::vector<std::string> args) {
        return RunProgram(SiblingProgram("velqo-cli"), BoxRig::PointedAt(port, std::move(args)));
    }

    // The run ended with `status`, having said each of `said` on stderr.
    static void ExpectEnd(const ProgramResult& r, int status,
                          const std::vector<std::string>& said) {
        EXPECT_EQ(r.status, status) << r.err;
        for (const std::string& s : said) {
            EXPECT_TRUE(Contains(r.err, s)) << r.err;
        }
    }

    BoxRig rig;
    fs::path folder_;     // a backup of a.txt and b.txt in pc/backups
    std::string backup_;  // the same as seen from pc/
};

}  // namespace

// Refused whatever is asked for, before the box is contacted.
TEST_F(CliHostileBackup, ABackupHoldingALinkIsRefusedBeforeTheBoxIsContacted) {
    fs::remove(folder_ / "a.txt");
    ASSERT_TRUE(MakeSymbolicLink("/etc/passwd", folder_ / "a.txt"));
    BoxSimOptions recording;
    recording.recordReceived = true;
    BoxSimulator& box = rig.StartBox(recording);
    ExpectEnd(Cli(box.Port(), {"restore", "--dry-run", backup_, "b.txt"}), 1,
              {"velqo-cli: a.txt: a symbolic link, not a file of the backup; never followed\n",
               "velqo-cli: the backup in " + backup_ + " is damaged (a.txt); nothing was sent\n"});
    EXPECT_EQ(box.Stats().connectionsAccepted, 0);
    EXPECT_TRUE(box.Received().empty());
}

TEST_F(CliHostileBackup, ABackupOfAnInvalidListEndsIncomplete) {
    wire::ListPayload list;
    list.count = -1;
    ScriptedBox box;
    box.LoginAndList(B(wire::EncodeListPayload(list))).Start();
    const ProgramResult r = Cli(box.Port(), {"backup", "--into", "backups"});
    box.Finish();
    const std::string made = FirstLine(r.out);
    ExpectEnd(r, 1,
              {"velqo-cli: INCOMPLETE backup in " + made +
               ": 0 of 0 file(s) saved; the box sent an invalid file list (a count of -1, not 0 "
               "to 28), so it may hold files not named here\n"});
    EXPECT_TRUE(Exists((fs::path(BoxRig::kPcFolder) / made / "INCOMPLETE").string()));
}

// What failed named, and only what was read back equal counted as restored.
TEST_F(CliHostileBackup, ARestoreTellsWhatFailedAndCountsOnlyWhatWasVerified) {
    BoxSimOptions refusing;
    refusing.refuseUpload = "read-only\x1b]0;x";
    BoxSimOptions corrupting;
    corrupting.corruptUploads = true;
    const std::vector<std::string> restore = {"restore", "--verify", backup_};
    const std::string summary = "file(s) from " + backup_ + ", verified, ";
    ExpectEnd(Cli(rig.StartBox(refusing).Port(), restore), 1,
              {"velqo-cli: a.txt: refused by the box: \"read-only\\x1b]0;x\"\n",
               "restored 0 of 2 " + summary + "0 skipped, 2 failed\n"});
    ExpectEnd(Cli(rig.StartBox(corrupting).Port(), restore), 1,
              {"restored 0 of 2 " + summary + "2 FAILED verification, 0 skipped\n"});
    WriteFile((folder_ / "INCOMPLETE").string(), "broken off\n");
    ExpectEnd(Cli(rig.StartBox().Port(), restore), 0,
              {"velqo-cli: note: " + backup_ +
                   " is an incomplete backup (see its INCOMPLETE); using the files it holds\n",
               "restored 2 of 2 " + summary + "0 skipped\n"});
}

#endif
