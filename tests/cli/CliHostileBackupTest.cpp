// Backup folders as input from outside (links, folders, FIFOs and devices in
// place of their files, names that are out to harm, own files listed as box
// files), backups broken off, and boxes whose list cannot be trusted: restore
// and backup of velqo-cli against the substitute box or a scripted one over
// loopback, on real files. POSIX only: links, FIFOs and devices made here.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "box/WireFormat.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLimitMs = 10000;

// Runs a program; one that does not end within the limit is killed and
// counts as status -1.
ProgramResult RunBounded(const std::string& program, const std::vector<std::string>& args) {
    BackgroundProgram running(program, args);
    ProgramResult r;
    r.status = running.Wait(kLimitMs) ? running.ExitStatus() : -1;
    r.out = running.Out();
    r.err = running.Err();
    return r;
}

// `sha256sum -c SHA256SUMS` run in the folder, as the help promises it works.
int Sha256sumCheck(const fs::path& folder) {
    const fs::path here = fs::current_path();
    fs::current_path(folder);
    const int status = RunBounded("/usr/bin/sha256sum", {"--quiet", "-c", "SHA256SUMS"}).status;
    fs::current_path(here);
    return status;
}

bool MakeLink(const fs::path& target, const fs::path& link) {
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec;
}

class CliHostileBackup : public ::testing::Test {
protected:
    CliHostileBackup() {
        // a.txt holds what the links below point to, so that its checksum
        // matches what a followed link would give.
        WriteFile("box/manifest.txt", "G a.txt 1\nG b.txt 1\n");
        WriteFile("box/a.txt", ReadFile("/etc/passwd"));
        WriteFile("box/b.txt", "bee");
        WriteFile("pc/secret.txt", ReadFile("/etc/passwd"));
    }

    BoxSimulator& StartBox(BoxSimOptions options = {}) {
        options.recordReceived = true;
        return rig.StartBox(options);
    }

    ProgramResult Cli(uint16_t port, std::vector<std::string> args) {
        return RunBounded(SiblingProgram("velqo-cli"), BoxRig::PointedAt(port, std::move(args)));
    }

    // A backup of the box; its folder as seen from pc/.
    std::string Backup(const BoxSimulator& box) {
        const ProgramResult r = Cli(box.Port(), {"backup", "--into", "backups"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out.substr(0, r.out.find('\n'));
    }

    BoxRig rig;
};

}  // namespace

// A backup gives only its own regular files: anything else under the name of
// one of its files is refused, named, before the box is contacted, whatever
// is asked for and with --dry-run too; compare's check (the library's) refuses
// it as well. A hard link is a regular file of the folder.
TEST_F(CliHostileBackup, EntriesThatAreNotItsOwnRegularFilesAreRefusedBeforeTheBoxIsContacted) {
    const std::string backup = Backup(StartBox());
    const fs::path folder = "pc" / fs::path(backup);
    const fs::path a = folder / "a.txt";
    const fs::path sums = folder / "SHA256SUMS";
    const fs::path manifest = folder / "manifest.txt";
    const struct {
        const char* what;
        fs::path replaced;
        std::function<bool(const fs::path&)> make;
        const char* message;  // null: the backup is accepted
    } rows[] = {
        {"a link to /etc/passwd", a, [](const fs::path& p) { return MakeLink("/etc/passwd", p); },
         "a.txt: a symbolic link"},
        {"a link out of the folder", a,
         [](const fs::path& p) { return MakeLink("../../secret.txt", p); },
         "a.txt: a symbolic link"},
        {"SHA256SUMS a link", sums,
         [&](const fs::path& p) {
             fs::copy_file(p.string() + ".kept", "pc/sums-elsewhere");
             return MakeLink(fs::absolute("pc/sums-elsewhere"), p);
         },
         "SHA256SUMS: a symbolic link"},
        {"manifest.txt a link", manifest,
         [&](const fs::path& p) {
             fs::copy_file(p.string() + ".kept", "pc/manifest-elsewhere");
             return MakeLink(fs::absolute("pc/manifest-elsewhere"), p);
         },
         "manifest.txt: not read: it is a symbolic link"},
        {"a folder", a, [](const fs::path& p) { return fs::create_directory(p); },
         "a.txt: a folder"},
        {"a FIFO", a, [](const fs::path& p) { return mkfifo(p.c_str(), 0644) == 0; },
         "a.txt: a FIFO or device"},
        {"the zero device", a,
         [](const fs::path& p) { return mknod(p.c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0; },
         "a.txt: a FIFO or device"},
        {"a hard link", a,
         [&](const fs::path& p) {
             fs::create_hard_link(p.string() + ".kept", p);
             return true;
         },
         nullptr},
    };
    BoxSimulator& target = StartBox();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path kept = row.replaced.string() + ".kept";
        fs::rename(row.replaced, kept);
        ASSERT_TRUE(row.make(row.replaced)) << "cannot be made here";
        const std::vector<std::vector<std::string>> commands = {
            {"restore", backup}, {"restore", "--dry-run", backup}, {"restore", backup, "b.txt"}};
        for (const auto& command : commands) {
            SCOPED_TRACE(command.back());
            target.ClearReceived();
            const int accepted = target.Stats().connectionsAccepted;
            const ProgramResult r = Cli(target.Port(), command);
            if (row.message == nullptr) {
                EXPECT_EQ(r.status, 0) << r.err;
                continue;
            }
            EXPECT_EQ(r.status, 1) << r.err;
            EXPECT_TRUE(Contains(r.err, row.message)) << r.err;
            EXPECT_TRUE(Contains(r.err, "nothing was sent") ||
                        Contains(r.err, "is not a usable backup"))
                << r.err;
            EXPECT_EQ(target.Stats().connectionsAccepted, accepted);
            EXPECT_TRUE(target.Received().empty());
        }
        BackupContents contents;
        EXPECT_EQ(contents.Load(folder, nullptr) == BackupContents::Check::kOk,
                  row.message == nullptr);
        std::error_code ec;
        fs::remove_all(row.replaced, ec);
        fs::rename(kept, row.replaced);
        fs::remove("pc/sums-elsewhere", ec);
        fs::remove("pc/manifest-elsewhere", ec);
    }
    EXPECT_EQ(ReadFile("box/a.txt"), ReadFile("/etc/passwd"));
}

// Names in a backup's manifest or checksums that are out to harm: a NUL byte
// is named as the reason, a long name is quoted only in part, and the
// backup's own files are never box files to send.
TEST_F(CliHostileBackup, NamesInABackupAreCheckedAndQuotedBounded) {
    const std::string backup = Backup(StartBox());
    const fs::path folder = "pc" / fs::path(backup);
    const std::string sums = ReadFile((folder / "SHA256SUMS").string());
    const std::string hexOfB = sums.substr(sums.find("  b.txt") - 64, 64);
    const std::string longName(60000, 'n');
    const struct {
        const char* what;
        const char* file;
        std::string bytes;
        const char* message;
    } rows[] = {
        {"NUL in a manifest name", "manifest.txt", std::string("G a\0b.txt 1\n", 12),
         "\"a\\x00b.txt\" holds a NUL byte"},
        {"NUL in a checksum name", "SHA256SUMS", hexOfB + std::string("  b.txt\0x\n", 10),
         "\"b.txt\\x00x\" holds a NUL byte"},
        {"a long name", "manifest.txt", "G " + longName + " 1\n", "more bytes]"},
        {"the manifest listing an own file", "manifest.txt", "G SHA256SUMS 1\nG b.txt 1\n",
         "SHA256SUMS: its name is that of one of the backup's own files"},
        {"INCOMPLETE listed", "manifest.txt", "G incomplete 1\n",
         "incomplete: its name is that of one of the backup's own files"},
    };
    BoxSimulator& target = StartBox();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = (folder / row.file).string();
        const std::string kept = ReadFile(path);
        WriteFile(path, row.bytes);
        if (row.file == std::string("manifest.txt")) {
            // The manifest's own checksum must not be what refuses it.
            std::string fixed = sums.substr(0, sums.find("  manifest.txt") - 64);
            WriteFile((folder / "SHA256SUMS").string(), fixed);
        }
        const ProgramResult r = Cli(target.Port(), {"restore", "--dry-run", backup});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Contains(r.err, row.message)) << r.err;
        std::istringstream lines(r.err);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LT(line.size(), 600u);
        }
        WriteFile(path, kept);
        WriteFile((folder / "SHA256SUMS").string(), sums);
    }
    EXPECT_EQ(target.Stats().connectionsAccepted, 0);
}

// A backup broken off keeps INCOMPLETE, and what it holds is listed and
// checked at every moment: the checksums pass sha256sum -c, the library reads
// it, a restore sends what it holds. A complete backup of no files passes too.
TEST_F(CliHostileBackup, ABackupBrokenOffIsTruthfulAndRestoresWhatItHolds) {
    BoxSimOptions breaking;
    breaking.closeAfterRecords = 1;  // a.txt's one record, then the link goes within b.txt
    WriteFile("box/a.txt", "ay");
    WriteFile("box/b.txt", std::string(5000, 'b'));
    const ProgramResult r = Cli(StartBox(breaking).Port(), {"backup", "--into", "backups"});
    EXPECT_EQ(r.status, 1) << r.err;
    const fs::path folder = "pc" / fs::path(r.out.substr(0, r.out.find('\n')));
    EXPECT_EQ(Sha256sumCheck(folder), 0);
    EXPECT_TRUE(Contains(ReadFile((folder / "SHA256SUMS").string()), "  manifest.txt\n"));
    BackupContents contents;
    ASSERT_EQ(contents.Load(folder, nullptr), BackupContents::Check::kOk) << contents.Error();
    EXPECT_TRUE(contents.Incomplete());
    ASSERT_EQ(contents.Entries().Entries().size(), 1u);
    EXPECT_EQ(contents.Entries().Entries()[0].name, "a.txt");
    const std::string incomplete = ReadFile((folder / "INCOMPLETE").string());
    EXPECT_TRUE(Contains(incomplete, "1 file(s) are saved")) << incomplete;
    EXPECT_TRUE(Contains(incomplete, "b.txt: the download failed")) << incomplete;
    EXPECT_FALSE(Contains(incomplete, "a.txt:")) << incomplete;

    BoxSimulator& target = StartBox();
    const ProgramResult restored =
        Cli(target.Port(), {"restore", r.out.substr(0, r.out.find('\n'))});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_TRUE(Contains(restored.err, "incomplete backup")) << restored.err;
    EXPECT_TRUE(Contains(restored.err, "restored 1 of 1 file(s)")) << restored.err;

    WriteFile("box/manifest.txt", "");
    const ProgramResult empty = Cli(StartBox().Port(), {"backup", "--into", "backups"});
    ASSERT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(Sha256sumCheck("pc" / fs::path(empty.out.substr(0, empty.out.find('\n')))), 0);
}

// A restore says what the box refused, with the name, and counts only what
// was read back equal as restored.
TEST_F(CliHostileBackup, RestoreNamesRefusalsAndCountsWhatWasVerified) {
    const std::string backup = Backup(StartBox());
    BoxSimOptions refusing;
    refusing.refuseUpload = "read-only\x1b]0;x";
    ProgramResult r = Cli(StartBox(refusing).Port(), {"restore", backup});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "velqo-cli: a.txt: refused by the box: \"read-only\\x1b]0;x\"\n"))
        << r.err;
    EXPECT_TRUE(Contains(r.err, "restored 0 of 2 file(s)")) << r.err;

    BoxSimOptions corrupting;
    corrupting.corruptUploads = true;
    r = Cli(StartBox(corrupting).Port(), {"restore", "--verify", backup});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(
        r.err, "restored 0 of 2 file(s) from " + backup + ", verified, 2 FAILED verification"))
        << r.err;
    r = Cli(StartBox().Port(), {"restore", "--verify", backup});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "restored 2 of 2 file(s) from " + backup + ", verified, 0 skipped"))
        << r.err;
}

// What a backup makes of a box's list that cannot be trusted: a count
// outside 0..28 is an invalid list, never a complete backup; a name that
// fills its field cannot be asked for; a name with a line feed is escaped in
// INCOMPLETE.
TEST_F(CliHostileBackup, ABackupOfAListThatCannotBeTrustedIsNeverComplete) {
    const std::string full(wire::kNameFieldSize, 'f');
    const struct {
        const char* what;
        int32_t count;
        std::vector<std::string> names;    // each 32 bytes long fills its field
        std::vector<std::string> said;     // on stderr
        std::vector<std::string> written;  // in INCOMPLETE
    } rows[] = {
        {"a negative count",
         -1,
         {},
         {"velqo-cli: the box sent an invalid file list"},
         {"the box sent an invalid file list (a count of -1"}},
        {"a count above 28",
         29,
         {"x\nname", full},
         {"the box sent an invalid file list"},
         {"a count of 29", "x\\nname: its group or name cannot be written"}},
        {"a name that fills its field",
         1,
         {full},
         {"cannot be requested"},
         {full.substr(0, 31) + ": cannot be requested: the name fills its field\n"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        wire::Bytes<wire::kListPayloadSize> payload{};
        const auto put32 = [&](size_t at, int32_t v) {
            for (int i = 0; i < 4; ++i) {
                payload[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
            }
        };
        put32(0, row.count);
        for (size_t i = 0; i < row.names.size(); ++i) {
            uint8_t* record = &payload[4 + i * wire::kListRecordSize];
            std::memcpy(record, "G", 1);
            std::memcpy(record + wire::kGroupNameSize, row.names[i].data(), row.names[i].size());
        }
        ScriptedBox box;
        box.Read(wire::kRequestHeaderSize + wire::kLoginPayloadSize)
            .Write(wire::EncodeReply({wire::kToolVersion, 0, wire::kStatusAccepted}))
            .Read(wire::kRequestHeaderSize)
            .Write(wire::EncodeReply({wire::kListReplyValue, 0, 0}))
            .Write(payload);
        box.Start();
        const ProgramResult r = Cli(box.Port(), {"backup", "--into", "backups"});
        box.Finish();
        EXPECT_EQ(r.status, 1) << r.err;
        for (const std::string& s : row.said) {
            EXPECT_TRUE(Contains(r.err, s)) << r.err;
        }
        const fs::path folder = "pc" / fs::path(r.out.substr(0, r.out.find('\n')));
        const std::string incomplete = ReadFile((folder / "INCOMPLETE").string());
        for (const std::string& w : row.written) {
            EXPECT_TRUE(Contains(incomplete, w)) << incomplete;
        }
        EXPECT_EQ(Sha256sumCheck(folder), 0);
        fs::remove_all(folder);
    }
}

#endif
