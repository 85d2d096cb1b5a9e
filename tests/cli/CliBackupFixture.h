#pragma once
// What the tests of velqo-cli's whole-box commands share: a box folder with
// five files (one listed twice), a PC folder, substitute boxes on free ports
// and velqo-cli run as a program against them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/RepeatableBytes.h"
#include "tests/support/TextChecks.h"

namespace cli_test {

namespace fs = std::filesystem;

// The box stores an upload after its last reply, so it may still be at work
// when the program has ended: wait until it has seen every connection end.
inline void WaitIdle(const BoxSimulator& box) {
    box.WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == s.connectionsAccepted; },
                5000);
}

// What is left in a folder, by name.
inline std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline const char* kManifest =
    "Config settings.txt 1\n"
    "Firmware image.bin 2\n"
    "Config \"two words.txt\" 1\n"
    "Logs empty.log 3\n"
    "Extra image.bin 7\n"  // the same file listed in a second group
    "Known abc.txt 0\n";

class CliBackupTest : public ::testing::Test {
protected:
    CliBackupTest() {
        WriteFile("box/manifest.txt", kManifest);
        for (const auto& [name, bytes] : Contents()) {
            WriteFile("box/" + name, bytes);
        }
    }

    static std::vector<std::pair<std::string, std::string>> Contents() {
        return {{"settings.txt", "a=1\r\nb=2\r\n"},
                {"image.bin", RepeatableBytes(70000, 1)},
                {"two words.txt", "spaced"},
                {"empty.log", ""},
                {"abc.txt", "abc"}};
    }

    BoxSimulator& StartBox(const std::string& folder, BoxSimOptions options = {}) {
        return rig.StartBox(options, folder);
    }

    ProgramResult Cli(const BoxSimulator& box, std::vector<std::string> args) {
        ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), BoxRig::PointedAt(box, args));
        r.out = Lf(r.out);
        r.err = Lf(r.err);
        return r;
    }

    // Makes a backup of the box; returns its folder (relative to the test's).
    fs::path Backup(const BoxSimulator& box) {
        const ProgramResult r = Cli(box, {"backup", "--into", "backups"});
        EXPECT_EQ(r.status, 0) << r.err;
        return fs::path(FirstLine(r.out));
    }

    BoxRig rig;
};

}  // namespace cli_test
