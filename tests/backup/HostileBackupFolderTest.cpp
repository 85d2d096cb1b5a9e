// Backup folders as input from outside (links, folders, FIFOs and devices in
// place of their files, names out to harm, own files listed as box files),
// backups broken off and boxes whose list cannot be trusted: what the backup
// library makes of each, on real files, against the substitute box or a
// scripted one over loopback. POSIX only: links, FIFOs and devices are made.
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "backup/BackupContents.h"
#include "backup/BoxRestore.h"
#include "backup/RestorePlan.h"
#include "backup/Sha256.h"
#include "base/TextEscape.h"
#include "tests/backup/WholeBoxFixture.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/SymbolicLink.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

// `sha256sum -c SHA256SUMS` run in the folder, as the help promises it works.
int Sha256sumCheck(const fs::path& folder) {
    return std::system(("cd '" + folder.string() + "' && sha256sum --quiet -c SHA256SUMS").c_str());
}

class HostileBackupFolder : public WholeBoxTest {
protected:
    HostileBackupFolder() {
        // a.txt holds what the links below point to: a followed link would pass its checksum.
        WriteFile("box/manifest.txt", "G a.txt 1\nG b.txt 1\n");
        WriteFile("box/a.txt", ReadFile("/etc/passwd"));
        WriteFile("box/b.txt", "bee");
    }

    BoxBackup into_{"backups", BackupBox::Of("127.0.0.1", box_defaults::kPort)};
};

}  // namespace

// The check reads only the folder's own regular files, and names what it
// refuses: kUnusable with the backup's own file and why, kDamaged with each
// failing box file as reported. A hard link is a regular file of the folder.
TEST_F(HostileBackupFolder, EntriesAndNamesNotOfTheBackupAreRefusedAndNamed) {
    Open();
    const fs::path pristine = Backup();
    const std::string sums = ReadFile((pristine / "SHA256SUMS").string());
    WriteFile("secret.txt", ReadFile("/etc/passwd"));
    using Change = std::function<void(const fs::path&)>;
    // With a checksum that matches it, as a crafted backup would have.
    const auto manifest = [&](const std::string& text) -> Change {
        return [=](const fs::path& folder) {
            WriteFile((folder / "manifest.txt").string(), text);
            WriteFile((folder / "SHA256SUMS").string(),
                      sums.substr(0, sums.find("  manifest.txt") - 64) + Sha256::OfBytes(text) +
                          "  manifest.txt\n");
        };
    };
    // The file moved out to "elsewhere", and `put` in its place.
    const auto replaced = [](const char* file, const Change& put) -> Change {
        return [=](const fs::path& folder) {
            fs::rename(folder / file, "elsewhere");
            put(folder / file);
        };
    };
    const auto linked = [](const fs::path& target) -> Change {
        return [=](const fs::path& at) { ASSERT_TRUE(MakeSymbolicLink(target, at)); };
    };
    const auto node = [](mode_t mode, dev_t device) -> Change {
        return [=](const fs::path& at) { ASSERT_EQ(mknod(at.c_str(), mode, device), 0); };
    };
    using C = BackupContents::Check;
    const std::string link = "a symbolic link, not a file of the backup; never followed";
    const std::string special = "a FIFO or device, not a regular file; never opened";
    const std::string own = "its name is that of one of the backup's own files";
    const std::string longName(60000, 'n');
    const struct {
        const char* what;
        Change change;
        C check;
        std::string file;  // the backup's own file, or the failing box files
        std::string why;   // of the first
    } rows[] = {
        {"a link to /etc/passwd", replaced("a.txt", linked("/etc/passwd")), C::kDamaged, "a.txt",
         link},
        {"a link out of the folder", replaced("a.txt", linked("../secret.txt")), C::kDamaged,
         "a.txt", link},
        {"SHA256SUMS a link", replaced("SHA256SUMS", linked(fs::absolute("elsewhere"))),
         C::kUnusable, "SHA256SUMS", "not read: it is a symbolic link"},
        {"manifest.txt a link", replaced("manifest.txt", linked(fs::absolute("elsewhere"))),
         C::kUnusable, "manifest.txt", "not read: it is a symbolic link"},
        {"a folder", replaced("a.txt", [](const fs::path& p) { fs::create_directory(p); }),
         C::kDamaged, "a.txt", "a folder, not a file"},
        {"a FIFO", replaced("a.txt", node(S_IFIFO | 0644, 0)), C::kDamaged, "a.txt", special},
        {"the zero device", replaced("a.txt", node(S_IFCHR | 0644, makedev(1, 5))), C::kDamaged,
         "a.txt", special},
        {"a hard link",
         replaced("a.txt", [](const fs::path& p) { fs::create_hard_link("elsewhere", p); }), C::kOk,
         "", ""},
        {"NUL in a manifest name", manifest(std::string("G a\0b.txt 1\n", 12)), C::kUnusable,
         "manifest.txt", "line 1: \"a\\x00b.txt\" holds a NUL byte"},
        {"NUL in a checksum name",
         [](const fs::path& folder) {
             WriteFile((folder / "SHA256SUMS").string(),
                       Sha256::OfBytes("bee") + std::string("  b.txt\0x\n", 10));
         },
         C::kUnusable, "SHA256SUMS", "line 1: \"b.txt\\x00x\" holds a NUL byte"},
        {"a long name", manifest("G " + longName + " 1\n"), C::kUnusable, "manifest.txt",
         "line 1: file name \"" + std::string(kQuoteLimit, 'n') + "... [" +
             std::to_string(longName.size() - kQuoteLimit) +
             " more bytes]\" must be a plain name of 1 to 31 characters without / \\ :"},
        {"the manifest listing SHA256SUMS", manifest("G SHA256SUMS 1\nG b.txt 1\n"), C::kDamaged,
         "SHA256SUMS", own},
        {"INCOMPLETE listed", manifest("G incomplete 1\n"), C::kDamaged, "incomplete", own},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path folder = "row";
        fs::copy(pristine, folder, fs::copy_options::recursive);
        row.change(folder);
        Recorder report;
        BackupContents contents;
        EXPECT_EQ(contents.Load(folder, &report), row.check);
        std::string file = contents.ErrorFile();
        std::string why = contents.Error();
        for (const FileReport& f : report.files) {
            file += (file.empty() ? "" : ", ") + f.name;
            why = why.empty() ? f.message : why;
        }
        EXPECT_EQ(file, row.file);
        EXPECT_EQ(why, row.why);
        fs::remove_all(folder);
        fs::remove("elsewhere");
    }
}

// A backup broken off keeps INCOMPLETE, and what it holds is listed and
// checked: the checksums pass sha256sum -c, the check reads it, a restore
// sends what it holds. A complete backup of no files passes too.
TEST_F(HostileBackupFolder, ABackupBrokenOffIsTruthfulAndRestoresWhatItHolds) {
    WriteFile("box/a.txt", "ay");
    WriteFile("box/b.txt", std::string(5000, 'b'));
    BoxSimOptions breaking;
    breaking.closeAfterRecords = 1;  // a.txt's one record, then the link goes within b.txt
    Open(breaking);
    Recorder report;
    const BackupOutcome outcome = into_.Run(*session_, listed_, report);
    EXPECT_EQ(outcome.status, BackupOutcome::Status::kIncomplete);
    EXPECT_EQ(outcome.saved, 1u);
    EXPECT_EQ(Sha256sumCheck(outcome.folder), 0);
    EXPECT_TRUE(Contains(ReadFile((outcome.folder / "SHA256SUMS").string()), "  manifest.txt\n"));
    BackupContents contents;
    ASSERT_EQ(contents.Load(outcome.folder, nullptr), BackupContents::Check::kOk)
        << contents.Error();
    EXPECT_TRUE(contents.Incomplete());
    ASSERT_EQ(contents.Entries().Entries().size(), 1u);
    EXPECT_EQ(contents.Entries().Entries()[0].name, "a.txt");
    const std::string incomplete = ReadFile((outcome.folder / "INCOMPLETE").string());
    EXPECT_TRUE(Contains(incomplete, "\n1 file(s) are saved")) << incomplete;
    EXPECT_TRUE(
        Contains(incomplete, "\nb.txt: the download failed, the link to the box was lost\n"))
        << incomplete;
    EXPECT_FALSE(Contains(incomplete, "a.txt:")) << incomplete;

    WriteFile("box/a.txt", "changed");
    Open();
    RestorePlan plan;
    std::string missing;
    ASSERT_TRUE(RestorePlan::Make(contents, {}, &plan, &missing));
    Recorder restored;
    EXPECT_EQ(BoxRestore::Run(*session_, listed_, contents, plan, {}, restored).sent, 1);
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.uploadsStored == 1; }, 3000));
    EXPECT_EQ(ReadFile("box/a.txt"), "ay");

    WriteFile("box/manifest.txt", "");
    Open();
    EXPECT_EQ(Sha256sumCheck(Backup()), 0);
}

// A box's list that cannot be trusted: a count outside 0..28 makes a backup
// never complete, INCOMPLETE says why first; a name that fills its field is
// never asked for (the box gets no request but the list); one with a line
// feed is escaped.
TEST_F(HostileBackupFolder, ABackupOfAListThatCannotBeTrustedIsNeverComplete) {
    const std::string full(wire::kNameFieldSize, 'f');  // fills its field
    const std::string invalid = "the box sent an invalid file list (a count of ";
    const std::string untold = ", not 0 to 28), so it may hold files not named here";
    const std::string notPlain = ": not a plain file name (1 to 31 characters without";
    const std::string fills = ": the name fills its field\n";
    const struct {
        int32_t count;
        std::vector<std::string> names;
        bool invalid;
        std::string written;  // in INCOMPLETE
    } rows[] = {
        {-1, {}, true, "\n0 file(s) are saved"},
        {29, {"x\nname", full}, true, "\nx\\nname" + notPlain},
        {1, {full}, false, "\n" + full.substr(0, 31) + ": cannot be requested" + fills},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.count);
        wire::ListPayload list;
        list.count = row.count;
        ScriptedBox::Bytes payload = B(wire::EncodeListPayload(list));
        for (size_t i = 0; i < row.names.size(); ++i) {
            uint8_t* record = &payload[4 + i * wire::kListRecordSize];
            record[0] = 'G';
            std::memcpy(record + wire::kGroupNameSize, row.names[i].data(), row.names[i].size());
        }
        ScriptedBox box;
        box.LoginAndList(payload).Start();
        LogIn(box.Port());
        Recorder report;
        const BackupOutcome outcome = into_.Run(*session_, listed_, report);
        socket_.Close();
        EXPECT_EQ(box.Finish().at(0).size(),
                  2 * wire::kRequestHeaderSize + wire::kLoginPayloadSize);
        EXPECT_EQ(outcome.status, BackupOutcome::Status::kIncomplete);
        const std::string problem = row.invalid ? invalid + std::to_string(row.count) + untold : "";
        EXPECT_EQ(outcome.listProblem, problem);
        const std::string incomplete = ReadFile((outcome.folder / "INCOMPLETE").string());
        EXPECT_EQ(FirstLine(incomplete),
                  "This backup is not complete" + (row.invalid ? ": " + problem : "") + ".");
        EXPECT_TRUE(Contains(incomplete, row.written)) << incomplete;
        EXPECT_EQ(Sha256sumCheck(outcome.folder), 0);
    }
}

#endif
