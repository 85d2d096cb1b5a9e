#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "box/BoxDefaults.h"
#include "box/BoxSettings.h"
#include "tests/support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// The file is written in the platform's text mode.
#ifdef _WIN32
const std::string kEnd = "\r\n";
#else
const std::string kEnd = "\n";
#endif

class SettingsTest : public ::testing::Test {
protected:
    void WriteConfig(const std::string& text) {
        std::filesystem::create_directories("config");
        WriteFile("config/config.ini", text);
    }
    TempDir dir;
    BoxSettings settings;
};

}  // namespace

TEST_F(SettingsTest, DefaultsWithoutAFile) {
    EXPECT_FALSE(settings.Load());
    EXPECT_STREQ(settings.BoxIp(), box_defaults::kAddress);
    EXPECT_EQ(settings.GetPort(), box_defaults::kPort);
    EXPECT_STREQ(settings.Password(), box_defaults::kPassword);
}

TEST_F(SettingsTest, SaveWritesTheThreeLinesExactly) {
    std::filesystem::create_directory("config");
    settings.SetBoxIp("127.0.0.1");
    settings.Save();
    EXPECT_EQ(ReadFile("config/config.ini"),
              "BOXIP=127.0.0.1" + kEnd + "PORT=01000" + kEnd + "PASSWORD=7351" + kEnd);
    settings.SetPort(1234567);
    settings.SetPassword("12ab");
    settings.Save();
    EXPECT_EQ(ReadFile("config/config.ini"),
              "BOXIP=127.0.0.1" + kEnd + "PORT=1234567" + kEnd + "PASSWORD=12ab" + kEnd);
    BoxSettings again;
    ASSERT_TRUE(again.Load());
    EXPECT_STREQ(again.Password(), "12");  // loads back only up to the first non-digit
    EXPECT_EQ(again.GetPort(), 1234567);
}

TEST_F(SettingsTest, SaveWithoutConfigFolderFailsSilentlyAndCreatesNothing) {
    settings.Save();
    EXPECT_FALSE(Exists("config"));
}

TEST_F(SettingsTest, KeysIgnoreCaseAndValuesStopAtTheFirstOtherCharacter) {
    struct Case {
        const char* file;
        const char* ip;
        int port;
        const char* password;
    } cases[] = {
        {"boxip=10.0.0.7\n", "10.0.0.7", box_defaults::kPort, box_defaults::kPassword},
        {"BOXIP= 192.168.1.20 \n", " 192.168.1.20 ", box_defaults::kPort, box_defaults::kPassword},
        {"BOXIP=box.local\n", "", box_defaults::kPort, box_defaults::kPassword},
        {"PASSWORD=12ab\n", box_defaults::kAddress, box_defaults::kPort, "12"},
        {"PASSWORD=\n", box_defaults::kAddress, box_defaults::kPort, ""},
        {"PORT=01000\n", box_defaults::kAddress, 1000, box_defaults::kPassword},
        {"Port=x12\n", box_defaults::kAddress, 0, box_defaults::kPassword},
        {"PORT=  -42z\n", box_defaults::kAddress, -42, box_defaults::kPassword},
        {"BOXIP=1.1.1.1\nBOXIP=2.2.2.2\n", "2.2.2.2", box_defaults::kPort, box_defaults::kPassword},
        {"# comment\n\nNAME=x\n BOXIP=9.9.9.9\n", box_defaults::kAddress, box_defaults::kPort,
         box_defaults::kPassword},
        {"BOXIP=127.0.0.1\r\nPORT=02000\r\nPASSWORD=4321\r\n", "127.0.0.1", 2000, "4321"},
        {"BOXIP=127.0.0.1", "127.0.0.1", box_defaults::kPort, box_defaults::kPassword},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteConfig(c.file);
        BoxSettings s;
        EXPECT_TRUE(s.Load());
        EXPECT_STREQ(s.BoxIp(), c.ip);
        EXPECT_EQ(s.GetPort(), c.port);
        EXPECT_STREQ(s.Password(), c.password);
    }
}

TEST_F(SettingsTest, LongLinesAreReadInPiecesWithoutOverrun) {
    // A 3000-character address: the first piece fills the buffer, the later
    // pieces do not start with a key and change nothing.
    WriteConfig("BOXIP=" + std::string(3000, '1') + "\nPASSWORD=" + std::string(2000, '9') + "\n");
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(std::string(settings.BoxIp()), std::string(1023 - 6, '1'));
    EXPECT_EQ(std::string(settings.Password()), std::string(1023 - 9, '9'));
    char small[33];
    settings.GetBoxIp(small, sizeof small);
    EXPECT_EQ(std::string(small), std::string(32, '1'));
}

TEST_F(SettingsTest, SettersCutTextsThatDoNotFit) {
    settings.SetBoxIp(std::string(5000, '7').c_str());
    EXPECT_EQ(std::string(settings.BoxIp()).size(), 1023u);
}

TEST_F(SettingsTest, ByteOrderMarkAtTheStartIsSkipped) {
    WriteConfig(
        "\xEF\xBB\xBF"
        "BOXIP=10.1.2.3\nPORT=2000\n");
    ASSERT_TRUE(settings.Load());
    EXPECT_STREQ(settings.BoxIp(), "10.1.2.3");
    EXPECT_EQ(settings.GetPort(), 2000);
    // Only at the very start: elsewhere it is text that matches no key.
    WriteConfig(
        "PORT=3000\n\xEF\xBB\xBF"
        "BOXIP=10.9.9.9\n");
    BoxSettings again;
    ASSERT_TRUE(again.Load());
    EXPECT_STREQ(again.BoxIp(), box_defaults::kAddress);
    EXPECT_EQ(again.GetPort(), 3000);
}

TEST_F(SettingsTest, ReportSaysWhereEachKeyWasAndWhetherItIsUsableAsWritten) {
    struct Expect {
        int line;
        bool usable;
    };
    struct Case {
        std::string file;
        Expect ip, port, password;
    } cases[] = {
        {"BOXIP=127.0.0.1\nPORT=01000\nPASSWORD=7351\n", {1, true}, {2, true}, {3, true}},
        {"", {0, true}, {0, true}, {0, true}},
        {"# c\nboxip= 10.0.0.7 \r\nport= 65535 \r\n", {2, true}, {3, true}, {0, true}},
        {"BOXIP=box.local\nBOXIP=\n", {2, false}, {0, true}, {0, true}},
        {"BOXIP=\t10.0.0.7\n", {1, false}, {0, true}, {0, true}},
        {"PORT=4294987597\n", {0, true}, {1, false}, {0, true}},
        {"PORT=65536\n", {0, true}, {1, false}, {0, true}},
        {"PORT=0\n", {0, true}, {1, false}, {0, true}},
        {"PORT=-42\n", {0, true}, {1, false}, {0, true}},
        {"PORT=12ab\n", {0, true}, {1, false}, {0, true}},
        {"PORT=\n", {0, true}, {1, false}, {0, true}},
        {"PASSWORD=12345\n", {0, true}, {0, true}, {1, false}},
        {"PASSWORD=12ab\n", {0, true}, {0, true}, {1, false}},
        {"PASSWORD=\n", {0, true}, {0, true}, {1, false}},
        {"PASSWORD= 123\n", {0, true}, {0, true}, {1, false}},
        {"PASSWORD=0042 \n", {0, true}, {0, true}, {1, true}},
        // A later line replaces an earlier one, its verdict too.
        {"PORT=99999\nPORT=2000\n", {0, true}, {2, true}, {0, true}},
        {"\xEF\xBB\xBFPASSWORD=1\n", {0, true}, {0, true}, {1, true}},
        {"BOXIP=" + std::string(2000, '1') + "\nPORT=7\n", {1, false}, {2, true}, {0, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 40));
        WriteConfig(c.file);
        BoxSettings s;
        BoxSettingsReport report;
        ASSERT_TRUE(s.Load(&report));
        const std::pair<const BoxSettingsReport::Line*, Expect> checks[] = {
            {&report.boxIp, c.ip}, {&report.port, c.port}, {&report.password, c.password}};
        for (const auto& [line, expect] : checks) {
            EXPECT_EQ(line->number, expect.line);
            EXPECT_EQ(line->problem.empty(), expect.usable) << line->problem;
        }
    }
}

TEST_F(SettingsTest, AnAddressInAnotherFormThanFourDecimalPartsIsNamedWithItsLine) {
    const struct {
        const char* file;
        int line;
        const char* problem;  // empty: usable
    } cases[] = {
        {"PORT=1000\nBOXIP=127.0.0.010\n", 2, "BOXIP '127.0.0.010' is not an IPv4 address: write"},
        {"BOXIP=127.1\n", 1, "BOXIP '127.1' is not an IPv4 address"},
        {"BOXIP= 0127.0.0.1\r\n", 1, "BOXIP ' 0127.0.0.1' is not an IPv4 address"},
        {"BOXIP= 127.0.0.2 \n", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WriteConfig(c.file);
        BoxSettingsReport report;
        ASSERT_TRUE(settings.Load(&report));
        EXPECT_EQ(report.boxIp.number, c.line);
        EXPECT_EQ(report.boxIp.problem.rfind(c.problem, 0), 0u) << report.boxIp.problem;
        EXPECT_EQ(report.boxIp.problem.empty(), *c.problem == '\0') << report.boxIp.problem;
    }
}

TEST_F(SettingsTest, ReportLeavesTheValuesAsTheWindowReadsThem) {
    WriteConfig("BOXIP=box.local\nPORT=4294987597\nPASSWORD=123456\n");
    BoxSettings plain;
    BoxSettings reported;
    BoxSettingsReport report;
    ASSERT_TRUE(plain.Load());
    ASSERT_TRUE(reported.Load(&report));
    EXPECT_STREQ(reported.BoxIp(), plain.BoxIp());
    EXPECT_EQ(reported.GetPort(), plain.GetPort());
    EXPECT_STREQ(reported.Password(), plain.Password());
}

namespace {

// What Load and Save made of a settings file that is not a settings file.
struct LoadOutcome {
    bool ended = false;  // false: Load or Save did not come back
    bool loaded = false;
    std::string problem;
    std::string boxIp;
};

LoadOutcome LoadAndSave() {
    LoadOutcome outcome;
    BoxSettings settings;
    BoxSettingsReport report;
    outcome.loaded = settings.Load(&report);
    outcome.problem = report.fileProblem;
    outcome.boxIp = settings.BoxIp();
    settings.Save();
    outcome.ended = true;
    return outcome;
}

// Runs LoadAndSave where a hang cannot hold the tests: in a child process
// that an alarm ends.
LoadOutcome LoadAndSaveBounded() {
#ifdef _WIN32
    return LoadAndSave();
#else
    constexpr unsigned kLimitSeconds = 5;
    const std::string result = std::filesystem::absolute("load-outcome.txt").string();
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(kLimitSeconds);
        const LoadOutcome o = LoadAndSave();
        WriteFile(result, std::string(o.loaded ? "1" : "0") + "\n" + o.problem + "\n" + o.boxIp);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    LoadOutcome outcome;
    const std::string text = ReadFile(result);
    std::filesystem::remove(result);
    const size_t first = text.find('\n');
    const size_t second = text.find('\n', first + 1);
    if (!WIFEXITED(status) || second == std::string::npos) {
        return outcome;
    }
    outcome.ended = true;
    outcome.loaded = text[0] == '1';
    outcome.problem = text.substr(first + 1, second - first - 1);
    outcome.boxIp = text.substr(second + 1);
    return outcome;
#endif
}

}  // namespace

// Whatever has the settings file's name, the window loads and saves without
// waiting; what is no settings file keeps the defaults and says why.
TEST_F(SettingsTest, AFileThatIsNoSettingsFileIsNeitherWaitedForNorUsed) {
    const std::string path = "config/config.ini";
    struct Case {
        const char* what;
        std::function<bool()> make;  // false: cannot be made here
        bool loaded;
        const char* problem;  // part of the report's reason; empty: none
        const char* boxIp;
    };
    const Case cases[] = {
        {"a folder", [&] { return std::filesystem::create_directory(path); }, false, "a folder",
         "192.168.1.108"},
#ifndef _WIN32
        {"a FIFO", [&] { return mkfifo(path.c_str(), 0644) == 0; }, false, "FIFO or device",
         "192.168.1.108"},
        {"a device",
         [&] {
             // The zero device itself when we may make one, else a link to it.
             return mknod(path.c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0 ||
                    symlink("/dev/zero", path.c_str()) == 0;
         },
         false, "FIFO or device", "192.168.1.108"},
        {"a link to a settings file",
         [&] {
             WriteFile("elsewhere.ini", "BOXIP=10.0.0.9\n");
             return symlink("../elsewhere.ini", path.c_str()) == 0;
         },
         true, "", "10.0.0.9"},
        {"not readable",
         [&] {
             WriteFile(path, "BOXIP=10.0.0.9\n");
             // Root reads it all the same.
             return chmod(path.c_str(), 0) == 0 && geteuid() != 0;
         },
         false, "not readable", "192.168.1.108"},
#endif
        {"larger than a settings file",
         [&] {
             WriteFile(path, "BOXIP=10.0.0.9\n" + std::string(BoxSettings::kMaxFileSize, '#'));
             return true;
         },
         true, "larger than 65536 bytes", "10.0.0.9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all("config");
        std::filesystem::create_directory("config");
        if (!c.make()) {
            continue;
        }
        const LoadOutcome outcome = LoadAndSaveBounded();
        ASSERT_TRUE(outcome.ended) << "Load or Save waited";
        EXPECT_EQ(outcome.loaded, c.loaded);
        EXPECT_NE(outcome.problem.find(c.problem), std::string::npos) << outcome.problem;
        EXPECT_EQ(outcome.problem.empty(), std::string(c.problem).empty()) << outcome.problem;
        EXPECT_EQ(outcome.boxIp, c.boxIp);
    }
}

TEST_F(SettingsTest, KeysWrittenDifferentlyAndUnknownKeysAreNotedButReadAsBefore) {
    const char* const kKept = "127.0.0.9";
    struct Case {
        const char* line;
        const char* meant;    // noted as a near miss of this key; null: none
        const char* unknown;  // noted as an unknown key; null: none
        const char* nearest;  // the known key suggested for the unknown one, "" for none
        const char* boxIp;    // as read afterwards
    } cases[] = {
        {"BOXIP = 127.0.0.2", "BOXIP", nullptr, "", kKept},
        {" BOXIP=127.0.0.2", "BOXIP", nullptr, "", kKept},
        {"Box_Ip:127.0.0.2", "BOXIP", nullptr, "", kKept},
        {"PASSWORD 1234", "PASSWORD", nullptr, "", kKept},
        {"port =1000", "PORT", nullptr, "", kKept},
        {"boxip=127.0.0.2", nullptr, nullptr, "", "127.0.0.2"},  // any letter case is a key
        {"password=1234", nullptr, nullptr, "", kKept},
        {"# BOXIP = 127.0.0.2", nullptr, nullptr, "", kKept},
        {"# PASWORD=1234", nullptr, nullptr, "", kKept},
        {"BOXIPS=127.0.0.2", nullptr, "BOXIPS", "BOXIP", kKept},
        {"PASWORD=1234", nullptr, "PASWORD", "PASSWORD", kKept},
        {"prot=1000", nullptr, "prot", "PORT", kKept},
        {"COLOUR=blue", nullptr, "COLOUR", "", kKept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        WriteConfig(std::string("BOXIP=") + kKept + "\n" + c.line + "\n");
        BoxSettings read;
        BoxSettingsReport report;
        ASSERT_TRUE(read.Load(&report));
        EXPECT_STREQ(read.BoxIp(), c.boxIp);
        if (c.meant == nullptr) {
            EXPECT_TRUE(report.nearMisses.empty());
        } else {
            ASSERT_EQ(report.nearMisses.size(), 1u);
            EXPECT_EQ(report.nearMisses[0].number, 2);
            EXPECT_EQ(report.nearMisses[0].key, c.meant);
        }
        if (c.unknown == nullptr) {
            EXPECT_TRUE(report.unknownKeys.empty());
        } else {
            EXPECT_STREQ(read.Password(), box_defaults::kPassword);  // nothing else changes
            ASSERT_EQ(report.unknownKeys.size(), 1u);
            EXPECT_EQ(report.unknownKeys[0].number, 2);
            EXPECT_EQ(report.unknownKeys[0].key, c.unknown);
            EXPECT_EQ(report.unknownKeys[0].nearest, c.nearest);
        }
    }
}
