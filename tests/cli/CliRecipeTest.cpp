// The Windows README's "Trying it without a box", run line by line as
// written while a logged-in session stands in for the window. Each port the
// recipe names is served on a free loopback port instead.
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
#include "box/NetApi.h"
#include "box/WireFormat.h"
#include "cli/CliClient.h"
#include "tests/support/BackgroundProgram.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

TEST(Recipes, WithoutABoxWorksWhileTheWindowIsLoggedIn) {
    const std::string readme = ReadFile(VELQO_SOURCE_DIR "/packaging/windows/README.txt.in");
    std::istringstream recipe(readme.substr(readme.find("Trying it without a box")));
    const TempDir dir;
    std::filesystem::create_directories("config");
    std::vector<std::unique_ptr<BackgroundProgram>> boxes;
    std::map<std::string, std::string> served;  // the recipe's port: the one used
    const std::string window = std::to_string(box_defaults::kPort);
    ASSERT_EQ(net::Startup(), 0);  // the window's session runs in this process
    BoxSocket socket;
    BoxSession session(&socket);
    int cliRuns = 0;
    for (std::string line; std::getline(recipe, line);) {
        std::istringstream split(line);
        std::vector<std::string> args;
        for (std::string word; split >> word;) {
            args.push_back(served.count(word) != 0 ? served[word] : word);
        }
        if (line.rfind("  ", 0) != 0 || args.empty()) {
            continue;
        }
        if (args[0].find('=') != std::string::npos) {
            WriteFile("config/config.ini", ReadFile("config/config.ini") + args[0] + "\n");
            continue;
        }
        const bool cli = args[0] == "velqo-cli.exe";
        const std::string program = SiblingProgram(cli ? "velqo-cli" : "velqo-boxsim");
        args.erase(args.begin());
        if (!cli && args.size() > 2 && args[args.size() - 2] == "--port") {
            const std::string port = args.back();
            args.back() = "0";
            boxes.push_back(std::make_unique<BackgroundProgram>(program, args));
            const uint16_t listening = BoxRig::ListeningPort(*boxes.back());
            ASSERT_NE(listening, 0) << boxes.back()->Err();
            served[port] = std::to_string(listening);
            continue;
        }
        if (cli && cliRuns++ == 0) {  // the window logged in first
            ASSERT_EQ(ConnectAndLogin(socket, session, "127.0.0.1", std::stoi(served[window]),
                                      box_defaults::kPassword),
                      LoginOutcome::kLoggedIn);
        }
        const ProgramResult r = RunProgram(program, args);
        EXPECT_EQ(r.status, 0) << line << r.err;
    }
    EXPECT_EQ(cliRuns, 2);
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    EXPECT_EQ(session.ListFiles(records, &count), 1);  // the window kept its box

    // What the recipe steers clear of: velqo-cli on the window's box.
    const ProgramResult busy =
        RunProgram(SiblingProgram("velqo-cli"), {"-p", served[window], "list"});
    EXPECT_EQ(busy.status, CliClient::kExitNoLogin);
    EXPECT_NE(busy.err.find("busy with another client"), std::string::npos) << busy.err;
}
