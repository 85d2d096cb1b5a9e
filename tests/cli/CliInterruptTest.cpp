// A real velqo-cli process interrupted by real signals mid-transfer (on
// Windows by Ctrl+C), and (POSIX only) given standard streams that cannot be
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

constexpr int kEndMs = 10000;
// A slow box: a download of kBigSize bytes takes several seconds.
constexpr size_t kBigSize = 300 * 1024;
constexpr size_t kPieceSize = 64;
constexpr int kPieceDelayMs = 3;
#ifdef _WIN32
// The one interruption another program can send there (Ctrl+C).
constexpr int kStop = SIGINT;
#else
constexpr int kStop = SIGTERM;
#endif

// Everything under the folder whose name marks it as temporary.
std::vector<std::string> Temporaries(const fs::path& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("~velqo-", 0) == 0) {
            found.push_back(it->path().string());
        }
    }
    return found;
}

class CliInterrupt : public ::testing::Test {
protected:
    CliInterrupt() {
        WriteFile("box/manifest.txt", "G big.bin 2\nG small.txt 1\n");
        WriteFile("box/big.bin", std::string(kBigSize, 'b'));
        WriteFile("box/small.txt", "small");
    }

    void StartBox(size_t pieceSize, int pieceDelayMs) {
        BoxSimOptions options;
        options.pieceSize = pieceSize;
        options.pieceDelayMs = pieceDelayMs;
        options.recordReceived = true;
        sim = &rig.StartBox(options);
    }

    std::vector<std::string> To(std::vector<std::string> args) const {
        return BoxRig::PointedAt(*sim, std::move(args));
    }

    BoxRig rig;
    BoxSimulator* sim = nullptr;  // not owned: the rig's
};

}  // namespace

// A signal mid-transfer removes the transfer's temporary files and folders
// and ends the program with 128 + the signal's number.
TEST_F(CliInterrupt, SignalsRemoveTemporaryFilesAndEndWith128PlusTheSignal) {
    // A backup to restore, made at full speed.
    std::string backup;
    {
        BoxSimulator& source = rig.StartBox();
        const ProgramResult made = RunProgram(
            SiblingProgram("velqo-cli"), BoxRig::PointedAt(source, {"backup", "--into", "source"}));
        source.Stop();
        ASSERT_EQ(made.status, 0) << made.err;
        backup = made.out.substr(0, made.out.find_first_of("\r\n"));  // as the backup prints it
    }
    StartBox(kPieceSize, kPieceDelayMs);
    // `local`: the command sends pc/big.bin; otherwise it must not be made.
    // `readBack`: the command reads big.bin back into a digest, with no
    // temporary file, and is mid-transfer once it says it reads.
    // `said`: the line that ends stderr, what was done and what to run next.
    const struct {
        std::vector<std::string> command;
        int signal;
        bool local;
        bool readBack = false;
        std::string said{};
    } rows[] = {
        {{"get", "big.bin"}, SIGINT, false},
#ifndef _WIN32
        {{"get", "big.bin"}, SIGTERM, false},
        {{"get", "big.bin"}, SIGHUP, false},
#endif
        {{"backup", "--into", "backups"},
         kStop,
         false,
         false,
         "velqo-cli: interrupted: 0 of 2 file(s) saved in backups"},
        // Interrupted while reading the upload back into the temporary folder.
        {{"put", "--verify", "big.bin"},
         SIGINT,
         true,
         false,
         "velqo-cli: interrupted: 0 of 1 file(s) sent; big.bin may be half-sent on the box; run "
         "velqo-cli put big.bin again\n"},
        {{"restore", "--verify", backup},
         kStop,
         false,
         true,
         "velqo-cli: interrupted: 0 of 2 file(s) sent; big.bin may be half-sent on the box; run "
         "velqo-cli restore --changed-only " +
             backup + " again\n"},
    };
    fs::create_directories("pc/backups");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command[0] + " signal " + std::to_string(row.signal));
        if (row.local) {
            WriteFile("pc/big.bin", std::string(kBigSize, 'B'));
        }
        BackgroundProgram cli(SiblingProgram("velqo-cli"), To(row.command));
        ASSERT_TRUE(cli.Started());
        // Mid-transfer: big.bin's temporary file is there (a backup's own
        // files are written before it) and the program still runs.
        const auto downloading = [&] {
            if (row.readBack) {
                return cli.Err().find("Start to dump file:big.bin") != std::string::npos;
            }
            const std::vector<std::string> found = Temporaries("pc");
            return std::any_of(found.begin(), found.end(), [](const std::string& path) {
                return fs::path(path).filename() == "~velqo-big.bin.part";
            });
        };
        ASSERT_TRUE(WaitUntil(downloading, kEndMs)) << cli.Err();
        ASSERT_FALSE(cli.Wait(0)) << cli.Err();
        ASSERT_TRUE(cli.Signal(row.signal));
        ASSERT_TRUE(cli.Wait(kEndMs));
        EXPECT_EQ(cli.KilledBy(), 0);
        EXPECT_EQ(cli.ExitStatus(), 128 + row.signal);
        const std::string err = Lf(cli.Err());
        if (row.said.empty()) {
            EXPECT_EQ(err.find("interrupted"), std::string::npos) << err;
        } else {
            EXPECT_NE(err.find(row.said), std::string::npos) << err;
            EXPECT_EQ(err.back(), '\n') << err;
        }
        EXPECT_EQ(Temporaries("pc"), std::vector<std::string>());
        EXPECT_EQ(fs::exists("pc/big.bin"), row.local);
        fs::remove("pc/big.bin");
    }
    // The backup broken off says so, and holds a backup of what it saved.
    fs::path broken;
    for (const auto& e : fs::directory_iterator("pc/backups")) {
        broken = e.is_directory() ? e.path() : broken;  // not the store's lock file
    }
    BackupContents contents;
    EXPECT_EQ(contents.Load(broken, nullptr), BackupContents::Check::kOk) << contents.Error();
    EXPECT_TRUE(contents.Incomplete());
    EXPECT_TRUE(ReadFile((broken / "INCOMPLETE").string()).find("big.bin: not saved") !=
                std::string::npos);
}

#ifndef _WIN32
// Output that cannot be written is an error to end on, never a signal that
// kills the program, and never bytes sent to the box.
TEST_F(CliInterrupt, OutputThatCannotBeWrittenEndsWithStatusOne) {
    StartBox(0, 0);
    using Output = BackgroundProgram::Output;
    const struct {
        const char* what;
        std::vector<std::string> command;
        Output out;
        Output err;
    } rows[] = {
        {"list into a pipe nobody reads", {"list"}, Output::kBrokenPipe, Output::kFile},
        {"log lines into a pipe nobody reads",
         {"get", "small.txt"},
         Output::kFile,
         Output::kBrokenPipe},
        {"list with stdout closed", {"list"}, Output::kClosed, Output::kFile},
        {"help into a pipe nobody reads", {"--help"}, Output::kBrokenPipe, Output::kFile},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sim->ClearReceived();
        const int ended = sim->Stats().connectionsEnded;
        BackgroundProgram cli(SiblingProgram("velqo-cli"), To(row.command), row.out, row.err);
        ASSERT_TRUE(cli.Wait(kEndMs));
        EXPECT_EQ(cli.KilledBy(), 0);
        EXPECT_EQ(cli.ExitStatus(), 1) << cli.Err();
        if (row.err == Output::kFile) {
            EXPECT_NE(cli.Err().find("velqo-cli: the output could not be written\n"),
                      std::string::npos)
                << cli.Err();
        }
        if (row.command[0] == "--help") {
            continue;
        }
        // The box got the session and nothing else: login, list, any
        // download's request and acknowledgements, logout.
        ASSERT_TRUE(
            sim->WaitFor([&](const BoxSimStats& s) { return s.connectionsEnded > ended; }, kEndMs));
        EXPECT_EQ(sim->Stats().protocolErrors, 0);
        const std::vector<uint8_t> received = sim->Received();
        ASSERT_GE(received.size(), 20u);
        EXPECT_EQ(received[received.size() - 4], 5);  // the logout
    }
    EXPECT_EQ(ReadFile("pc/small.txt"), "small");
}

#endif
