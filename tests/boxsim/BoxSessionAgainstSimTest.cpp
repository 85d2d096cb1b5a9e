// The PC's real BoxSession against the substitute box: each side checks the
// other, and the box's record shows byte for byte what the PC sent.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "BoxSimFixture.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/DownloadFile.h"
#include "boxsim/DemoContent.h"
#include "tests/support/TempDir.h"

namespace {

std::string g_log;

int CaptureLog(const char* text, int) {
    g_log += text;
    return 0;
}

class BoxSessionAgainstSim : public BoxSimFixture {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(MakeDemoFolder(folder_.string(), "manifest.txt", &error)) << error;
        g_log.clear();
    }
    // Connects the PC's socket to the box and makes a session on it.
    void ConnectPc() {
        ASSERT_TRUE(socket_.Connect("127.0.0.1", box_->Port(), 5000));
        session_.SetLogSink(CaptureLog);
    }

    BoxSocket socket_;
    BoxSession session_{&socket_};
};

TEST_F(BoxSessionAgainstSim, WholeRoundOverDemoContent) {
    BoxSimOptions o = DefaultOptions();
    o.waitPhase = true;
    o.waitMessages = {"Checking up.bin", "Stored"};
    StartBox(o);
    ConnectPc();
    const std::string upload = RepeatableBytes(1500, 11);
    ::WriteFile("up.bin", upload);

    ASSERT_EQ(session_.Login("7351"), 1);
    wire::ListRecord records[28];
    int count = -1;
    ASSERT_EQ(session_.ListFiles(records, &count), 1);
    const std::vector<ManifestEntry> demo = DemoEntries();
    ASSERT_EQ(count, static_cast<int>(demo.size()));
    for (size_t i = 0; i < demo.size(); ++i) {
        EXPECT_EQ(records[i].group, demo[i].group);
        EXPECT_EQ(records[i].name, demo[i].name);
        EXPECT_EQ(records[i].type, demo[i].type);
    }
    EXPECT_EQ(session_.Dump("channels.db"), 1);
    EXPECT_EQ(session_.Dump("satellites.db"), 1);
    EXPECT_EQ(session_.Upload("up.bin"), 1);
    session_.Logout();
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.logouts == 1; }, 3000));

    EXPECT_EQ(::ReadFile("channels.db"), ReadFile("channels.db"));
    EXPECT_EQ(::ReadFile("channels.db").size(), 20000u);
    EXPECT_EQ(::ReadFile("satellites.db"), ReadFile("satellites.db"));
    EXPECT_EQ(ReadFile("up.bin"), upload);
    EXPECT_NE(g_log.find("PC > Login OK. :) \n"), std::string::npos);
    EXPECT_NE(g_log.find("\nPC > Dump finished !\n"), std::string::npos);
    EXPECT_NE(g_log.find("PC > Wait BOX to process data...\nChecking up.bin\nStored\n"),
              std::string::npos)
        << g_log;

    // What the box received, byte for byte.
    auto acks = [](int n) {
        std::vector<uint8_t> all;
        for (int i = 0; i < n; ++i) {
            all.insert(all.end(), {0, 0, 0, 0, 0, 1});
        }
        return all;
    };
    wire::UploadBlock first;
    first.flag = 2;
    first.count = 1024;
    std::copy(upload.begin(), upload.begin() + 1024, first.data.begin());
    wire::UploadBlock last;
    last.flag = 3;
    last.count = 476;
    std::copy(upload.begin() + 1024, upload.end(), last.data.begin());
    const std::vector<uint8_t> expected = Concat({
        {1, 0, 8, 0, 0, 0, 0, 0, '7', '3', '5', '1'},
        {2, 0, 0, 0},
        {3, 0, 0, 0},
        ToVector(wire::EncodeNameField("channels.db")),
        acks(20),  // 20000 bytes
        {3, 0, 0, 0},
        ToVector(wire::EncodeNameField("satellites.db")),
        acks(4),  // 4096 bytes
        {4, 0, 0, 0},
        ToVector(wire::EncodeNameField("up.bin")),
        ToVector(wire::EncodeUploadBlock(first)),
        ToVector(wire::EncodeUploadBlock(last)),
        {5, 0, 0, 0},
    });
    EXPECT_EQ(box_->Received(), expected);
}

TEST_F(BoxSessionAgainstSim, MessagesInSmallPiecesStillWork) {
    BoxSimOptions o = DefaultOptions();
    o.pieceSize = 97;
    o.pieceDelayMs = 1;
    o.waitPhase = true;
    StartBox(o);
    ConnectPc();
    ::WriteFile("up.bin", RepeatableBytes(3000, 2));
    ASSERT_EQ(session_.Login("7351"), 1);
    wire::ListRecord records[28];
    int count = 0;
    ASSERT_EQ(session_.ListFiles(records, &count), 1);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(session_.Dump("config.txt"), 1);
    EXPECT_EQ(::ReadFile("config.txt"), ReadFile("config.txt"));
    EXPECT_EQ(session_.Upload("up.bin"), 1);
    EXPECT_EQ(ReadFile("up.bin"), RepeatableBytes(3000, 2));
    EXPECT_NE(g_log.find("Checking up.bin...\nup.bin stored\n"), std::string::npos) << g_log;
}

TEST_F(BoxSessionAgainstSim, ClosingMidDownloadFailsTheDumpAndKeepsNoFile) {
    BoxSimOptions o = DefaultOptions();
    o.closeAfterRecords = 3;
    StartBox(o);
    ConnectPc();
    ASSERT_EQ(session_.Login("7351"), 1);
    EXPECT_EQ(session_.Dump("channels.db"), 0);
    EXPECT_NE(g_log.find("PC > Read data error, please check the connect !\n"), std::string::npos)
        << g_log;
    EXPECT_FALSE(std::filesystem::exists("channels.db"));
    EXPECT_EQ(box_->Stats().recordsSent, 3);
}

TEST_F(BoxSessionAgainstSim, WaitPhaseFailureClosesTheSession) {
    BoxSimOptions o = DefaultOptions();
    o.waitMessages = {"Bad image"};
    o.waitPhase = true;
    o.waitFinalStatus = 4;
    StartBox(o);
    ConnectPc();
    ::WriteFile("up.bin", "tiny");
    ASSERT_EQ(session_.Login("7351"), 1);
    EXPECT_EQ(session_.Upload("up.bin"), -1);
    EXPECT_EQ(session_.State(), 1);
    EXPECT_NE(g_log.find("Bad image\n"), std::string::npos) << g_log;
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; }, 3000));
}

// The update options: the messages the session keeps, what the box then
// holds, and whether it restarts (gone for the restart time, then back).
TEST_F(BoxSessionAgainstSim, UpdateFileRunsItsProcessingAndRestarts) {
    const struct {
        const char* fails;
        std::vector<std::string> statuses;  // of the wait messages, as "text=status"
        bool restarts;
    } cases[] = {
        {"",
         {"Checking update.pkg...=2", "Writing the update...=2", "Update done, restarting=3"},
         true},
        {"Bad signature", {"Checking update.pkg...=2", "Bad signature=4"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fails);
        BoxSimOptions o = DefaultOptions();
        o.updateFile = "update.pkg";
        o.updateRestartMs = 3000;  // long enough to see it gone on a busy machine
        o.updateResets = {"Settings"};
        o.updateFails = c.fails;
        std::string error;
        ASSERT_TRUE(MakeDemoFolder(folder_.string(), "manifest.txt", &error)) << error;
        WriteFile("config.txt", "changed by the user\n");
        StartBox(o);
        BoxSocket socket;
        BoxSession session(&socket);
        ASSERT_TRUE(socket.Connect("127.0.0.1", box_->Port(), 5000));
        ASSERT_EQ(session.Login("7351"), 1);
        ::WriteFile("update.pkg", "new firmware");
        EXPECT_EQ(session.Upload("update.pkg"), c.restarts ? 1 : -1);
        std::vector<std::string> got;
        for (const BoxWaitMessage& m : session.LastWaitMessages()) {
            got.push_back(m.text + "=" + std::to_string(m.status));
        }
        EXPECT_EQ(got, c.statuses);
        EXPECT_EQ(session.LastWaitMessages().back().percent, 100);
        ASSERT_TRUE(
            box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; }, 3000));
        BoxSocket again;
        // Nothing listens while it restarts; it listens again after.
        EXPECT_EQ(again.Connect("127.0.0.1", box_->Port(), 500), !c.restarts);
        EXPECT_EQ(box_->WaitFor([](const BoxSimStats& s) { return s.restarts == 1; }, 6000),
                  c.restarts);
        EXPECT_TRUE(again.Connect("127.0.0.1", box_->Port(), 2000));
        std::string demoConfig;
        ASSERT_TRUE(DemoContentOf("config.txt", &demoConfig));
        EXPECT_EQ(ReadFile("config.txt"), c.restarts ? demoConfig : "changed by the user\n");
        EXPECT_EQ(ReadFile("update.pkg") == "new firmware", c.restarts);
        EXPECT_FALSE(Exists("~boxsim-update.pkg.part"));
    }
}

TEST_F(BoxSessionAgainstSim, ALongWaitPhaseKeepsItsLatestMessages) {
    BoxSimOptions o = DefaultOptions();
    for (int i = 1; i <= 150; ++i) {
        o.waitMessages.push_back("step " + std::to_string(i));
    }
    o.waitPhase = true;
    StartBox(o);
    ConnectPc();
    ::WriteFile("up.bin", "x");
    ASSERT_EQ(session_.Login("7351"), 1);
    EXPECT_EQ(session_.Upload("up.bin"), 1);
    const auto& kept = session_.LastWaitMessages();
    ASSERT_EQ(kept.size(), BoxSession::kKeptWaitMessages);
    EXPECT_EQ(kept.front().text, "step 51");
    EXPECT_EQ(kept.back().text, "step 150");
    EXPECT_EQ(kept.back().status, 3);
}

TEST_F(BoxSessionAgainstSim, RefusalsReachTheLog) {
    BoxSimOptions o = DefaultOptions();
    o.refuseUpload = "No space left";
    StartBox(o);
    ConnectPc();
    EXPECT_EQ(session_.Login("0000"), 0);
    EXPECT_NE(g_log.find("PC > Login FAIL:Wrong password\n"), std::string::npos) << g_log;
    ASSERT_EQ(session_.Login("7351"), 1);
    ::WriteFile("up.bin", "x");
    EXPECT_EQ(session_.Upload("up.bin"), 0);
    EXPECT_NE(g_log.find("No space left\n"), std::string::npos) << g_log;
    EXPECT_EQ(session_.Dump("nothere.bin"), 1);  // a refused dump still returns 1
    EXPECT_EQ(session_.State(), 1);
    EXPECT_FALSE(std::filesystem::exists("nothere.bin"));
}

TEST_F(BoxSessionAgainstSim, NewerRequiredVersionIsRefusedByThePc) {
    BoxSimOptions o = DefaultOptions();
    o.requiredVersion = wire::kToolVersion + 1;
    StartBox(o);
    ConnectPc();
    EXPECT_EQ(session_.Login("7351"), 0);
    EXPECT_NE(g_log.find("PC > This tool version is too low, need " +
                         wire::VersionText(wire::kToolVersion + 1) + "\n"),
              std::string::npos)
        << g_log;
}

TEST_F(BoxSessionAgainstSim, UnansweredLoginIsAnIncompleteReply) {
    BoxSimOptions o = DefaultOptions();
    o.noLoginReply = true;
    StartBox(o);
    ConnectPc();
    socket_.SetIoTimeoutMs(1000);  // the one wait in this file that runs out
    EXPECT_EQ(session_.Login("7351"), 2);
    EXPECT_EQ(box_->Stats().loginsUnanswered, 1);
}

}  // namespace

// Takes a download into memory, through the same path as a file.
class StringSink : public DownloadSink {
public:
    bool IsOpen() const override { return true; }
    void Write(const void* data, size_t length) override {
        bytes.append(static_cast<const char*>(data), length);
    }
    bool Commit() override { return committed = true; }
    bool WriteFailed() const override { return false; }

    std::string bytes;
    bool committed = false;
};

TEST_F(BoxSessionAgainstSim, FilesGoIntoAndComeFromTheFolderGivenAndTheWorkingDirectoryStays) {
    namespace fs = std::filesystem;
    StartBox();
    ConnectPc();
    ASSERT_EQ(session_.Login(box_defaults::kPassword), 1);
    const fs::path start = fs::current_path();
    const fs::path relative = "pc_relative";
    const fs::path absolute = start / "pc_absolute";
    int stored = 0;
    for (const fs::path& folder : {relative, absolute}) {
        fs::create_directories(folder);
        EXPECT_EQ(session_.DumpInto("config.txt", folder), 1) << folder;
        EXPECT_EQ(::ReadFile((folder / "config.txt").string()), ReadFile("config.txt"));
        EXPECT_FALSE(fs::exists(folder / DownloadFile::TemporaryName("config.txt")));
        EXPECT_FALSE(fs::exists("config.txt")) << "also written into the working directory";

        const std::string changed = "changed in " + folder.string();
        ::WriteFile((folder / "config.txt").string(), changed);
        EXPECT_EQ(session_.UploadFrom("config.txt", folder), 1) << folder;
        ASSERT_TRUE(
            box_->WaitFor([&](const BoxSimStats& s) { return s.uploadsStored > stored; }, 3000));
        ++stored;
        EXPECT_EQ(ReadFile("config.txt"), changed);
        EXPECT_EQ(fs::current_path(), start);
        fs::remove_all(folder);
    }
    // A file missing from the folder is not looked for in the working directory.
    ::WriteFile("config.txt", "in the working directory");
    fs::create_directories(relative);
    EXPECT_EQ(session_.UploadFrom("config.txt", relative), 0);
    EXPECT_EQ(session_.LastOutcome(), TransferOutcome::kLocalFailed);

    // Into memory: the same bytes, and nothing on disk.
    StringSink memory;
    EXPECT_EQ(session_.DumpTo("channels.db", memory), 1);
    EXPECT_TRUE(memory.committed);
    EXPECT_EQ(memory.bytes, ReadFile("channels.db"));
    EXPECT_FALSE(fs::exists("channels.db"));
    EXPECT_TRUE(fs::is_empty(relative));
}

TEST_F(BoxSessionAgainstSim, ARefusedDumpReachesNoSinkAndMakesNoFileInTheFolder) {
    namespace fs = std::filesystem;
    BoxSimOptions o = DefaultOptions();
    o.refuseDump = "not now";
    StartBox(o);
    ConnectPc();
    ASSERT_EQ(session_.Login(box_defaults::kPassword), 1);
    EXPECT_EQ(session_.DumpInto("config.txt", BoxRig::kPcFolder), 1);
    EXPECT_EQ(session_.LastOutcome(), TransferOutcome::kRefused);
    EXPECT_TRUE(fs::is_empty(BoxRig::kPcFolder));
    StringSink memory;
    EXPECT_EQ(session_.DumpTo("config.txt", memory), 1);
    EXPECT_EQ(session_.LastOutcome(), TransferOutcome::kRefused);
    EXPECT_FALSE(memory.committed);
    EXPECT_TRUE(memory.bytes.empty());
}
