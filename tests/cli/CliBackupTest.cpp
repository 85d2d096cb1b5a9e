// backup, restore and --verify of velqo-cli, run as a program against the
// substitute box over loopback, on real files.
#include "catalog/Manifest.h"
#include "tests/cli/CliBackupFixture.h"

namespace fs = std::filesystem;
using namespace cli_test;

TEST_F(CliBackupTest, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"backup", "name"},        {"backup", "--into"},   {"restore"},
        {"restore", "--dry-run"},  {"list", "--verify"},   {"get", "--verify", "a"},
        {"put", "--dry-run", "a"}, {"backup", "--verify"}, {"put", "--into", "x", "a"},
    };
    for (const auto& args : bad) {
        const ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1];
        EXPECT_TRUE(Contains(r.err, "velqo-cli: ")) << r.err;
    }
}

TEST_F(CliBackupTest, BackupThenRestoreRoundTripIsByteExact) {
    BoxSimulator& box = StartBox("box");
    const fs::path folder = Backup(box);
    ASSERT_EQ(folder.parent_path(), fs::path("backups"));
    const std::string stem = folder.filename().string();
    // The box's port is part of the name: it is not the box's own, 1000.
    const std::string host = "127.0.0.1+" + std::to_string(box.Port()) + "-";
    ASSERT_EQ(stem.size(), (host + "20240101-120000").size()) << stem;
    EXPECT_EQ(stem.rfind(host, 0), 0u) << stem;
    const fs::path saved = "pc" / folder;

    for (const auto& [name, bytes] : Contents()) {
        EXPECT_EQ(ReadFile((saved / name).string()), bytes) << name;
    }
    EXPECT_EQ(Names(saved),
              (std::vector<std::string>{"SHA256SUMS", "abc.txt", "empty.log", "image.bin",
                                        "manifest.txt", "settings.txt", "two words.txt"}));
    // The same list as the box's, in the same order, duplicates and all.
    Manifest original;
    Manifest copy;
    std::string error;
    ASSERT_TRUE(Manifest::Load("box/manifest.txt", &original, &error)) << error;
    ASSERT_TRUE(Manifest::Load((saved / "manifest.txt").string(), &copy, &error)) << error;
    ASSERT_EQ(copy.Entries().size(), original.Entries().size());
    for (size_t i = 0; i < copy.Entries().size(); ++i) {
        EXPECT_EQ(copy.Entries()[i].group, original.Entries()[i].group);
        EXPECT_EQ(copy.Entries()[i].name, original.Entries()[i].name);
        EXPECT_EQ(copy.Entries()[i].type, original.Entries()[i].type);
    }
    // Known digests: the platform's SHA-256 behind the seam.
    const std::string sums = ReadFile((saved / "SHA256SUMS").string());
    EXPECT_TRUE(Contains(sums,
                         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  "
                         "abc.txt\n"));
    EXPECT_TRUE(Contains(sums,
                         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  "
                         "empty.log\n"));
#ifndef _WIN32
    const std::string check = "cd '" + saved.string() + "' && sha256sum -c --quiet SHA256SUMS";
    EXPECT_EQ(std::system(check.c_str()), 0);
#endif

    // The backup served as a box lists what the box listed, and backs up the same.
    BoxSimulator& replay = StartBox(saved.string());
    const ProgramResult original_list = Cli(box, {"list"});
    const ProgramResult replay_list = Cli(replay, {"list"});
    EXPECT_EQ(replay_list.status, 0) << replay_list.err;
    EXPECT_EQ(replay_list.out, original_list.out);
    const fs::path second = "pc" / Backup(replay);
    for (const auto& [name, bytes] : Contents()) {
        EXPECT_EQ(ReadFile((second / name).string()), bytes) << name;
    }

    // Restored onto a box whose files have changed: the backup's bytes, in manifest order.
    for (const auto& [name, bytes] : Contents()) {
        WriteFile("box/" + name, "changed " + name);
    }
    const ProgramResult r = Cli(box, {"restore", folder.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    WaitIdle(box);
    for (const auto& [name, bytes] : Contents()) {
        EXPECT_EQ(ReadFile("box/" + name), bytes) << name;
    }
    size_t at = 0;
    for (const char* name :
         {"settings.txt", "image.bin", "two words.txt", "empty.log", "abc.txt"}) {
        const size_t next = r.err.find(std::string("upload file to BOX:") + name, at);
        ASSERT_NE(next, std::string::npos) << name << " not after position " << at;
        at = next;
    }
    EXPECT_EQ(box.Stats().uploadsStored, 5);  // image.bin once, though listed twice
}

TEST_F(CliBackupTest, AFailingFileLeavesTheOthersAndMarksTheBackupIncomplete) {
    fs::remove("box/two words.txt");  // listed but missing: the box refuses it
    // A box file named like one of the backup's own files cannot be kept beside them.
    WriteFile("box/manifest.txt", std::string(kManifest) + "Odd SHA256SUMS 0\n");
    WriteFile("box/SHA256SUMS", "the box's own");
    BoxSimulator& box = StartBox("box");
    const ProgramResult r = Cli(box, {"backup"});
    EXPECT_EQ(r.status, 1);
    const fs::path saved = "pc" / fs::path(FirstLine(r.out));
    ASSERT_TRUE(fs::is_directory(saved)) << r.out;
    EXPECT_TRUE(Contains(r.err, "velqo-cli: two words.txt: not saved: the box refused it: \""))
        << r.err;
    EXPECT_TRUE(Contains(r.err, "velqo-cli: SHA256SUMS: not saved: its name is that of"));
    EXPECT_TRUE(Contains(r.err, "INCOMPLETE backup"));
    for (const auto& [name, bytes] : Contents()) {
        if (name != "two words.txt") {
            EXPECT_EQ(ReadFile((saved / name).string()), bytes) << name;
        }
    }
    EXPECT_FALSE(Exists((saved / "two words.txt").string()));
    const std::string incomplete = ReadFile((saved / "INCOMPLETE").string());
    EXPECT_TRUE(Contains(incomplete, "two words.txt: the box refused it: \"")) << incomplete;
    EXPECT_TRUE(Contains(incomplete, "SHA256SUMS: its name"));
    // Manifest and checksums hold only what was saved.
    Manifest manifest;
    std::string error;
    ASSERT_TRUE(Manifest::Load((saved / "manifest.txt").string(), &manifest, &error)) << error;
    EXPECT_EQ(manifest.Entries().size(), 5u);
    EXPECT_EQ(manifest.Find("two words.txt"), nullptr);
    EXPECT_EQ(manifest.Find("SHA256SUMS"), nullptr);
    const std::string sums = ReadFile((saved / "SHA256SUMS").string());
    EXPECT_FALSE(Contains(sums, "two words.txt"));
    EXPECT_TRUE(Contains(sums, "  settings.txt\n"));
}

TEST_F(CliBackupTest, ALostLinkMarksEverythingNotSavedAsMissing) {
    BoxSimOptions options;
    options.closeAfterRecords = 3;  // within image.bin, the second file
    BoxSimulator& box = StartBox("box", options);
    const ProgramResult r = Cli(box, {"backup"});
    EXPECT_EQ(r.status, 1);
    const fs::path saved = "pc" / fs::path(FirstLine(r.out));
    EXPECT_EQ(ReadFile((saved / "settings.txt").string()), "a=1\r\nb=2\r\n");
    const std::string incomplete = ReadFile((saved / "INCOMPLETE").string());
    EXPECT_TRUE(Contains(incomplete, "image.bin: the download failed"));
    for (const char* name : {"two words.txt", "empty.log", "abc.txt"}) {
        EXPECT_TRUE(Contains(incomplete, std::string(name) + ": not tried")) << name;
    }
    EXPECT_EQ(Names(saved), (std::vector<std::string>{"INCOMPLETE", "SHA256SUMS", "manifest.txt",
                                                      "settings.txt"}));
}

TEST_F(CliBackupTest, ADamagedBackupIsRefusedBeforeAnythingIsSent) {
    BoxSimulator& source = StartBox("box");
    const fs::path folder = Backup(source);
    const fs::path saved = "pc" / folder;
    struct Damage {
        const char* what;
        const char* file;  // rewritten with `bytes`; removed when bytes is null
        const char* bytes;
        const char* message;  // expected on stderr
    };
    const std::vector<Damage> damages = {
        {"changed file", "settings.txt", "a=1\r\nb=3\r\n",
         "settings.txt: its checksum does not match"},
        {"missing file", "abc.txt", nullptr, "abc.txt: missing or unreadable"},
        {"no checksums", "SHA256SUMS", nullptr, "is not a usable backup"},
        {"no manifest", "manifest.txt", nullptr, "is not a usable backup"},
        {"unchecked file", "SHA256SUMS", "",
         "image.bin: listed in the manifest but has no checksum"},
        {"bad checksum line", "SHA256SUMS", "xyz  abc.txt\n", "line 1: expected a SHA-256"},
    };
    BoxSimulator& target = StartBox("box");
    for (const Damage& d : damages) {
        const std::string path = (saved / d.file).string();
        const std::string kept = ReadFile(path);
        if (d.bytes == nullptr) {
            fs::remove(path);
        } else {
            WriteFile(path, d.bytes);
        }
        const ProgramResult r = Cli(target, {"restore", folder.string()});
        EXPECT_EQ(r.status, 1) << d.what;
        EXPECT_TRUE(Contains(r.err, d.message)) << d.what << ": " << r.err;
        WriteFile(path, kept);
    }
    // Not one byte reached the box: it was not even contacted.
    EXPECT_TRUE(target.Received().empty());
    EXPECT_EQ(target.Stats().connectionsAccepted, 0);
    // The repaired backup is accepted again.
    EXPECT_EQ(Cli(target, {"restore", folder.string()}).status, 0);
}

TEST_F(CliBackupTest, DryRunSendsNothingAndNamesWhatWouldGo) {
    BoxSimulator& source = StartBox("box");
    const fs::path folder = Backup(source);
    // A box that no longer lists two.txt-like names: here image.bin and abc.txt.
    fs::create_directories("box2");
    WriteFile("box2/manifest.txt",
              "Config settings.txt 1\nConfig \"two words.txt\" 1\nLogs empty.log 3\n");
    BoxSimulator& target = StartBox("box2");
    const ProgramResult r = Cli(target, {"restore", "--dry-run", folder.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "would send settings.txt (10 byte(s))\n"
              "would send two words.txt (6 byte(s))\n"
              "would send empty.log (0 byte(s))\n");
    EXPECT_TRUE(Contains(r.err, "image.bin: the box no longer lists it; skipped"));
    EXPECT_TRUE(Contains(r.err, "abc.txt: the box no longer lists it; skipped"));
    EXPECT_TRUE(
        Contains(r.err, "would restore 3 of 5 file(s) from " + folder.string() + ", 2 skipped"));
    EXPECT_EQ(target.Stats().uploadsStored + target.Stats().uploadsRefused, 0);
    EXPECT_EQ(Names("box2"), std::vector<std::string>{"manifest.txt"});

    // For real: the listed ones go, the others are skipped; named ones count as failed.
    ProgramResult real = Cli(target, {"restore", folder.string()});
    EXPECT_EQ(real.status, 0) << real.err;
    WaitIdle(target);
    EXPECT_EQ(ReadFile("box2/settings.txt"), "a=1\r\nb=2\r\n");
    EXPECT_FALSE(Exists("box2/image.bin"));
    real = Cli(target, {"restore", folder.string(), "abc.txt", "empty.log"});
    EXPECT_EQ(real.status, 1);
    EXPECT_TRUE(Contains(real.err, "abc.txt: the box no longer lists it; skipped"));
    real = Cli(target, {"restore", folder.string(), "nothere.txt"});
    EXPECT_EQ(real.status, 1);
    EXPECT_TRUE(Contains(real.err, "nothere.txt: not in the backup; nothing was sent"));
}

TEST_F(CliBackupTest, VerifyCatchesACorruptedStore) {
    BoxSimOptions corrupt;
    corrupt.corruptUploads = true;
    BoxSimulator& bad = StartBox("box", corrupt);
    WriteFile("pc/image.bin", RepeatableBytes(5000, 9));
    WriteFile("pc/empty.log", "");
    const ProgramResult r = Cli(bad, {"put", "--verify", "image.bin", "empty.log"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err,
                         "velqo-cli: image.bin: VERIFY FAILED: the box's copy (5000 byte(s)) "
                         "differs from the uploaded file (5000 byte(s)) from byte 4999 on"))
        << r.err;
    EXPECT_TRUE(Contains(r.err, "velqo-cli: empty.log: VERIFY FAILED: the box's copy (1 byte(s))"));
    // Without --verify the same corruption goes unnoticed: the protocol has no checksum.
    EXPECT_EQ(Cli(bad, {"put", "image.bin"}).status, 0);
    EXPECT_EQ(Names("pc"), (std::vector<std::string>{"empty.log", "image.bin"}));
    bad.Stop();

    BoxSimulator& good = StartBox("box");
    const ProgramResult fine = Cli(good, {"put", "--verify", "image.bin", "empty.log"});
    EXPECT_EQ(fine.status, 0) << fine.err;
    EXPECT_TRUE(Contains(fine.err, "image.bin: verified, the box holds the same 5000 byte(s)"));
    EXPECT_EQ(Names("pc"), (std::vector<std::string>{"empty.log", "image.bin"}));

    // restore --verify, from a backup, onto the corrupting box.
    const fs::path folder = Backup(good);
    BoxSimulator& bad2 = StartBox("box", corrupt);
    const ProgramResult restored = Cli(bad2, {"restore", "--verify", folder.string(), "abc.txt"});
    EXPECT_EQ(restored.status, 1);
    EXPECT_TRUE(Contains(restored.err, "abc.txt: VERIFY FAILED")) << restored.err;
    EXPECT_EQ(Names("pc"), (std::vector<std::string>{"backups", "empty.log", "image.bin"}));
}
