#pragma once
// What the tests of velqo-cli's whole-box commands share: a box folder with
// five files (one listed twice), a PC folder, substitute boxes on free ports
// and velqo-cli run as a program against them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "boxsim/BoxSimulator.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace cli_test {

namespace fs = std::filesystem;

// The box stores an upload after its last reply, so it may still be at work
// when the program has ended: wait until it has seen every connection end.
inline void WaitIdle(const BoxSimulator& box) {
    box.WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == s.connectionsAccepted; },
                5000);
}

// Bytes of every value, repeatable.
inline std::string Pattern(size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        s[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 8)) & 0xFF);
    }
    return s;
}

inline std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

// Windows text mode writes CR LF; compare with LF ends.
inline std::string Lf(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) {
            out += s[i];
        }
    }
    return out;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
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
        fs::create_directories("box");
        fs::create_directories("pc");
        WriteFile("box/manifest.txt", kManifest);
        for (const auto& [name, bytes] : Contents()) {
            WriteFile("box/" + name, bytes);
        }
    }

    static std::vector<std::pair<std::string, std::string>> Contents() {
        return {{"settings.txt", "a=1\r\nb=2\r\n"},
                {"image.bin", Pattern(70000, 1)},
                {"two words.txt", "spaced"},
                {"empty.log", ""},
                {"abc.txt", "abc"}};
    }

    BoxSimulator& StartBox(const std::string& folder, BoxSimOptions options = {}) {
        options.folder = (dir.Path() / folder).string();
        options.port = 0;
        boxes.push_back(std::make_unique<BoxSimulator>(options));
        std::string error;
        EXPECT_TRUE(boxes.back()->Start(&error)) << error;
        return *boxes.back();
    }

    ProgramResult Cli(const BoxSimulator& box, std::vector<std::string> args) {
        args.insert(args.begin(),
                    {"--host", "127.0.0.1", "--port", std::to_string(box.Port()), "-C", "pc"});
        ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), args);
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

    TempDir dir;
    std::vector<std::unique_ptr<BoxSimulator>> boxes;
};

}  // namespace cli_test
