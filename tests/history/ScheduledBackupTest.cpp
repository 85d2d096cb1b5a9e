// The systemd units of the daily backup: systemd-analyze accepts them, and
// the service's own command line, run as the service would run it (its
// specifiers filled in, the settings file handed over as a credential),
// backs up a substitute box on loopback and says what changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "boxsim/BoxSimulator.h"
#include "tests/support/BoxRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kUnits = fs::path(VELQO_SOURCE_DIR) / "packaging" / "systemd";
constexpr const char* kInstalledProgram = "/usr/bin/velqo-cli";
constexpr const char* kInstance = "livingroom";

// The unit file with the program as built here in place of the installed one.
std::string UnitText(const std::string& name) {
    std::string text = ReadFile((kUnits / name).string());
    const size_t at = text.find(kInstalledProgram);
    if (at != std::string::npos) {
        text.replace(at, std::string(kInstalledProgram).size(), SiblingProgram("velqo-cli"));
    }
    return text;
}

// ExecStart's words with the specifiers the service's line uses filled in.
std::vector<std::string> ExecStart(const fs::path& credentials, const fs::path& state) {
    std::smatch line;
    const std::string unit = UnitText("velqo-backup@.service");
    EXPECT_TRUE(std::regex_search(unit, line, std::regex("\nExecStart=([^\n]*)")));
    std::vector<std::string> words;
    const std::string text = line[1];
    // ${NAME} as systemd fills it from the unit's Environment= lines.
    std::vector<std::pair<std::string, std::string>> environment;
    const std::regex setting("\nEnvironment=([A-Z_]+)=([^\n]*)");
    for (auto it = std::sregex_iterator(unit.begin(), unit.end(), setting);
         it != std::sregex_iterator(); ++it) {
        environment.emplace_back("${" + (*it)[1].str() + "}", (*it)[2].str());
    }
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find(' ', start), text.size());
        std::string word = text.substr(start, end - start);
        std::vector<std::pair<std::string, std::string>> fills = {
            {"%d", credentials.string()}, {"%S", state.string()}, {"%i", kInstance}};
        fills.insert(fills.end(), environment.begin(), environment.end());
        for (const auto& [specifier, value] : fills) {
            for (size_t at; (at = word.find(specifier)) != std::string::npos;) {
                word.replace(at, specifier.size(), value);
            }
        }
        EXPECT_TRUE(word.find('%') == std::string::npos && word.find('$') == std::string::npos)
            << "a specifier the test does not fill: " << word;
        words.push_back(word);
        start = end + 1;
    }
    return words;
}

}  // namespace

TEST(ScheduledBackupTest, SystemdAcceptsTheUnits) {
    TempDir dir;
    std::vector<std::string> args = {"verify", "--man=no"};
    for (const char* kind : {".service", ".timer"}) {
        const std::string templateName = std::string("velqo-backup@") + kind;
        WriteFile(templateName, UnitText(templateName));
        const fs::path instance = std::string("velqo-backup@") + kInstance + kind;
        fs::create_symlink(templateName, instance);
        args.push_back((dir.Path() / instance).string());
    }
    const ProgramResult r = RunProgram("systemd-analyze", args);
    EXPECT_EQ(r.status, 0) << r.err;
    // Unknown keys and bad values are only warned about.
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
}

TEST(ScheduledBackupTest, TheServiceCommandBacksUpTheBoxNamedInItsSettingsFile) {
    BoxRig rig;
    WriteFile("box/manifest.txt", "Settings config.txt 1\nChannels channels.db 2\n");
    WriteFile("box/config.txt", "volume=10\n");
    WriteFile("box/channels.db", std::string("\x01\x02\x03", 3));
    BoxSimOptions options;
    options.password = "2468";
    const BoxSimulator& box = rig.StartBox(options);

    // What systemd provides: the credential and the state folder.
    const fs::path credentials = rig.Path() / "credentials";
    const fs::path state = rig.Path() / "state";
    fs::create_directories(credentials);
    fs::create_directories(state / "velqo" / kInstance);
    WriteFile((credentials / "settings").string(),
              "BOXIP=127.0.0.1\nPORT=" + std::to_string(box.Port()) + "\nPASSWORD=2468\n");
    const std::vector<std::string> words = ExecStart(credentials, state);
    ASSERT_FALSE(words.empty());
    const std::vector<std::string> args(words.begin() + 1, words.end());

    const ProgramResult first = RunProgram(words.front(), args);
    ASSERT_EQ(first.status, 0) << first.err;
    const fs::path made = fs::path(first.out.substr(0, first.out.find_first_of("\r\n")));
    // Into the store under the state folder.
    EXPECT_EQ(made.parent_path().parent_path(), state / "velqo" / kInstance);
    EXPECT_EQ(ReadFile((made / "config.txt").string()), "volume=10\n");
    EXPECT_NE(first.err.find("the first complete backup of 127.0.0.1:"), std::string::npos)
        << first.err;

    // The next day's run says what changed.
    WriteFile("box/config.txt", "volume=12\n");
    const ProgramResult second = RunProgram(words.front(), args);
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.err.find("velqo-cli: changed config.txt\n"), std::string::npos) << second.err;
    EXPECT_EQ(second.err.find("changed channels.db"), std::string::npos) << second.err;
}
