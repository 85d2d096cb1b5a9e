// The Windows README's "Trying it without a box", run command by command as
// written, with a logged-in session standing in for the window. Every port
// the recipe names is served on a free loopback port instead, the same one
// wherever the recipe repeats it.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "box/BoxDefaults.h"
#include "box/BoxLogin.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/WireFormat.h"
#include "cli/CliClient.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace {

using Words = std::vector<std::string>;

struct Recipe {
    std::vector<Words> commands;  // the program lines, in order
    std::string settings;         // the config.ini lines
};

Recipe ReadRecipe() {
    std::istringstream in(ReadFile(VELQO_SOURCE_DIR "/packaging/windows/README.txt.in"));
    Recipe recipe;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        inside = inside || line == "Trying it without a box";
        if (!inside || line.rfind("  ", 0) != 0) {
            continue;
        }
        std::istringstream split(line);
        Words words;
        for (std::string word; split >> word;) {
            words.push_back(word);
        }
        if (words.front().rfind("velqo-", 0) == 0) {
            recipe.commands.push_back(words);
        } else if (words.size() == 1 && words.front().find('=') != std::string::npos) {
            recipe.settings += words.front() + "\n";
        }
    }
    return recipe;
}

// The program a recipe line names, as built beside this test.
std::string Program(const std::string& word) {
    const size_t exe = word.rfind(".exe");
    return SiblingProgram(exe == std::string::npos ? word : word.substr(0, exe));
}

constexpr int kStartMs = 10000;

class Recipes : public ::testing::Test {
protected:
    // Starts a substitute box line on a free port; the port it stands for
    // maps to it from then on.
    void StartBox(Words args, size_t portAt) {
        const std::string written = args[portAt];
        args[portAt] = "0";
        boxes_.push_back(std::make_unique<BackgroundProgram>(Program(args.front()),
                                                             Words(args.begin() + 1, args.end())));
        BackgroundProgram& box = *boxes_.back();
        const std::string marker = "listening on 127.0.0.1:";
        ASSERT_TRUE(
            WaitUntil([&] { return box.Out().find(marker) != std::string::npos; }, kStartMs))
            << box.Err();
        const std::string out = box.Out();
        ports_[written] = std::to_string(std::stoi(out.substr(out.find(marker) + marker.size())));
    }

    std::string Served(const std::string& written) const {
        const auto port = ports_.find(written);
        return port == ports_.end() ? written : port->second;
    }

    TempDir dir_;
    std::vector<std::unique_ptr<BackgroundProgram>> boxes_;
    std::map<std::string, std::string> ports_;
};

}  // namespace

TEST_F(Recipes, WithoutABoxWorksWhileTheWindowIsLoggedIn) {
    const Recipe recipe = ReadRecipe();
    ASSERT_FALSE(recipe.settings.empty());
    std::filesystem::create_directories("config");
    WriteFile("config/config.ini", recipe.settings);

    BoxSocket windowSocket;
    BoxSession window(&windowSocket);
    bool windowLoggedIn = false;
    int cliRuns = 0;
    for (const Words& command : recipe.commands) {
        SCOPED_TRACE(command.front() + " " + command.back());
        const bool cli = command.front().rfind("velqo-cli", 0) == 0;
        Words args(command.begin() + 1, command.end());
        size_t portAt = 0;
        for (size_t i = 0; i + 1 < args.size(); ++i) {
            portAt = args[i] == "--port" || args[i] == "-p" ? i + 1 : portAt;
        }
        if (!cli && portAt != 0) {
            args.insert(args.begin(), command.front());
            StartBox(args, portAt + 1);
            continue;
        }
        if (cli && !windowLoggedIn) {
            // The window logs in to the box on its own port once that box runs.
            windowLoggedIn = true;
            ASSERT_EQ(ConnectAndLogin(windowSocket, window, "127.0.0.1",
                                      std::stoi(Served(std::to_string(box_defaults::kPort))),
                                      box_defaults::kPassword),
                      LoginOutcome::kLoggedIn);
        }
        if (portAt != 0) {
            args[portAt] = Served(args[portAt]);
        }
        const ProgramResult r = RunProgram(Program(command.front()), args);
        EXPECT_EQ(r.status, 0) << r.err;
        cliRuns += cli ? 1 : 0;
    }
    EXPECT_GE(cliRuns, 2);
    // The window kept its box all along.
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    EXPECT_EQ(window.ListFiles(records, &count), 1);

    // What the recipe steers clear of: velqo-cli on the window's box.
    const ProgramResult busy = RunProgram(
        Program("velqo-cli"), {"-p", Served(std::to_string(box_defaults::kPort)), "list"});
    EXPECT_EQ(busy.status, CliClient::kExitNoLogin);
    EXPECT_NE(busy.err.find("busy with another client"), std::string::npos) << busy.err;
}
