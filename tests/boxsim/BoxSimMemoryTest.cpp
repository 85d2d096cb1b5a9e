// The substitute box keeps its memory bounded whatever it serves, receives
// or is asked to record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BoxSimFixture.h"
#include "WireBytes.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/ProgramRunner.h"

#ifdef __linux__
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class BoxMemory : public BoxSimFixture {};

TEST_F(BoxMemory, ReceivedBytesAreRecordedOnlyWhenAskedAndOnlyUpToTheLimit) {
    const Bytes sent = Concat({kLoginRequest, Header(2)});
    struct Case {
        bool record;
        size_t limit;
        size_t kept;
    };
    const Case cases[] = {{false, 1 << 20, 0}, {true, 10, 10}, {true, 1 << 20, sent.size()}};
    for (const Case& c : cases) {
        BoxSimOptions options = DefaultOptions();
        options.recordReceived = c.record;
        options.recordLimit = c.limit;
        BoxSimulator box(options);
        std::string error;
        ASSERT_TRUE(box.Start(&error)) << error;
        TestClient pc;
        ASSERT_TRUE(pc.Connect(box.Port()));
        ASSERT_TRUE(pc.Send(sent));
        EXPECT_EQ(pc.Receive(6 + 6 + 1460).size(), 6u + 6u + 1460u);
        ASSERT_TRUE(box.WaitFor([](const BoxSimStats& s) { return s.lists == 1; }, 3000));
        EXPECT_EQ(box.Received(), Bytes(sent.begin(), sent.begin() + c.kept)) << c.limit;
        EXPECT_EQ(box.Stats().bytesNotRecorded, sent.size() - c.kept) << c.limit;
    }
}

TEST_F(BoxMemory, OnlyTheLatestEventLinesAreKept) {
    StartBox();
    auto pc = Connect();
    // Logouts: one event line each and no answer; the answer to the list at
    // the end comes once the box has noted them all.
    Bytes requests;
    for (size_t i = 0; i < SimRecorder::kMaxEvents + 50; ++i) {
        requests.insert(requests.end(), {5, 0, 0, 0});
    }
    requests.insert(requests.end(), {2, 0, 0, 0});
    ASSERT_TRUE(pc->Send(requests));
    ASSERT_EQ(pc->Receive(6, 10000).size(), 6u);
    const std::vector<std::string> events = box_->Events();
    ASSERT_EQ(events.size(), SimRecorder::kMaxEvents);
    EXPECT_EQ(events.front(), "logout");
    EXPECT_EQ(events.back(), "list: refused, not logged in");
    EXPECT_EQ(box_->Stats().logouts, static_cast<int>(SimRecorder::kMaxEvents) + 50);
}

#ifdef __linux__

// A process's peak resident memory so far, in KiB (VmHWM).
long PeakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kib = -1;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

TEST_F(BoxMemory, PeakMemoryDoesNotGrowWithTheSizeOfTransfers) {
    constexpr uintmax_t kMiB = 1024 * 1024;
    constexpr long kSlackKiB = 4 * 1024;
    WriteManifest("Files small.bin 0\nFiles large.bin 0\n");
    // Sparse files: the box reads every byte all the same.
    fs::resize_file((WriteFile("small.bin", ""), folder_ / "small.bin"), kMiB);
    fs::resize_file((WriteFile("large.bin", ""), folder_ / "large.bin"), 64 * kMiB);
    const fs::path pcDir = rig_.Path() / BoxRig::kPcFolder;
    const fs::path previous = fs::current_path();
    fs::current_path(pcDir);
    std::ofstream("up-small.bin").close();
    std::ofstream("up-large.bin").close();
    fs::resize_file("up-small.bin", kMiB);
    fs::resize_file("up-large.bin", 64 * kMiB);

    BackgroundProgram program(SiblingProgram("velqo-boxsim"),
                              {"--folder", folder_.string(), "--port", "0"});
    const uint16_t port = BoxRig::ListeningPort(program);
    ASSERT_NE(port, 0) << program.Err();
    BoxSocket socket;
    BoxSession session(&socket);
    ASSERT_TRUE(socket.Connect(BoxRig::kLoopback, port, 5000));
    ASSERT_EQ(session.Login("7351"), BoxSession::kLoginOk);
    long peak[2] = {};
    const char* sizes[2] = {"small", "large"};
    for (int i = 0; i < 2; ++i) {
        const std::string name = std::string(sizes[i]) + ".bin";
        const std::string upload = "up-" + name;
        EXPECT_EQ(session.Dump(name.c_str()), 1);
        EXPECT_EQ(session.LastOutcome(), TransferOutcome::kDone);
        EXPECT_EQ(fs::file_size(name), fs::file_size(folder_ / name));
        EXPECT_EQ(session.Upload(upload.c_str()), 1);
        EXPECT_EQ(session.LastOutcome(), TransferOutcome::kDone);
        // The box stores the upload once its last block's reply has gone.
        for (int wait = 0; wait < 300 && !fs::exists(folder_ / upload); ++wait) {
            usleep(10000);
        }
        EXPECT_EQ(fs::file_size(folder_ / upload), fs::file_size(upload));
        peak[i] = PeakKiB(program.Pid());
    }
    session.Logout();
    socket.Close();
    fs::current_path(previous);
    ASSERT_GT(peak[0], 0);
    EXPECT_LE(peak[1], peak[0] + kSlackKiB)
        << "peak after 1 MiB each way: " << peak[0] << " KiB; after 64 MiB: " << peak[1] << " KiB";
}

#endif

}  // namespace
