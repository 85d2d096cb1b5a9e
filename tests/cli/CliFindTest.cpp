// velqo-cli find and boxes, run as a program: one run per way find ends,
// over a made-up LAN on loopback, and the store's boxes at a glance.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "box/BoxDefaults.h"
#include "box/WireFormat.h"
#include "tests/support/LanRig.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/TextChecks.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliFindTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(lan_.AddBox("127.0.78.2", {}, &error)) << error;
        ASSERT_TRUE(lan_.AddListener("127.0.78.3", TestListener::Kind::kNotABox, &error)) << error;
        fs::create_directories("pc/config");
        std::ofstream("pc/config/config.ini", std::ios::binary) << "# mine\nPASSWORD=7351\n";
        port_ = std::to_string(lan_.Port());
    }

    ProgramResult Cli(std::vector<std::string> args) const {
        args.insert(args.begin(), {"-C", "pc", "-p", port_});
        ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), args);
        r.out = Lf(r.out);  // a Windows console's line ends
        r.err = Lf(r.err);
        return r;
    }

    TempDir dir_;
    LanRig lan_{dir_.Path() / "box"};
    std::string port_;
};

TEST_F(CliFindTest, SomethingAnswered) {
    WriteStoredBackup("pc/backup", StoredName("127.0.78.2", "20200101100000", 1, lan_.Port()),
                      {{"Settings", "config.txt", 1, "a\n"}});
    const ProgramResult text = Cli({"find", "--login", "127.0.78.1-4"});
    EXPECT_EQ(text.status, 0) << text.err;
    const std::string first = text.out.substr(0, text.out.find('\n') + 1);
    const std::string version = wire::VersionText(box_defaults::kRequiredToolVersion);
    EXPECT_EQ(first.rfind("127.0.78.2:" + port_ + "\tbox\t7 file(s), requires tool " + version +
                              "\tnewest backup ",
                          0),
              0u)
        << text.out;
    EXPECT_NE(first.find(" days old\n"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.substr(first.size()),
              "127.0.78.3:" + port_ + "\tnot-a-box\tits reply is no box's\t-\n");

    const auto json = nlohmann::json::parse(Cli({"--json", "find", "--login", "127.0.78.2"}).out);
    EXPECT_EQ(json["boxes"].size(), 1u);
    EXPECT_EQ(json["boxes"][0]["result"], "box");
    EXPECT_EQ(json["boxes"][0]["backup"]["taken"], "2020-01-01 10:00:00");

    const ProgramResult inventory = Cli({"find", "--login", "--inventory", "127.0.78.0/29"});
    EXPECT_NE(inventory.out.find("      hosts:\n        box-127-0-78-2:\n"
                                 "          ansible_host: 127.0.78.2\n"
                                 "          velqo_port: " +
                                 port_ + "\n"),
              std::string::npos)
        << inventory.out;
    EXPECT_EQ(inventory.out.find("127.0.78.3"), std::string::npos) << inventory.out;

    EXPECT_EQ(Cli({"find", "--login", "--write-settings", "127.0.78.0/29"}).status, 0);
    EXPECT_EQ(Read("pc/config/config.ini"),
              "# mine\nPASSWORD=7351\nBOXIP=127.0.78.2\nPORT=" + port_ + "\n");
}

TEST_F(CliFindTest, NothingAnswered) {
    const ProgramResult r = Cli({"find", "127.0.78.9", "127.0.78.20-21"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("0 of 3 address(es) answered"), std::string::npos) << r.err;
}

TEST_F(CliFindTest, UsageErrorBeforeAnythingIsTried) {
    // Loopback only, and more than a search takes without --wide.
    const ProgramResult r = Cli({"find", "127.0.78.0/24", "127.0.80.0/20"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the ranges hold 4348 addresses, more than 4096: give --wide"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(lan_.Box(0).Stats().connectionsAccepted, 0);
}

TEST(CliBoxesTest, EveryBoxOfTheStore) {
    TempDir dir;
    WriteStoredBackup("backup", StoredName("127.0.0.2", "20261201100000"), {});
    WriteStoredBackup("backup", StoredName("127.0.0.3", "20261202100000", 1, 4000), {}, true);
    const ProgramResult r = RunProgram(SiblingProgram("velqo-cli"), {"boxes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("127.0.0.3:4000\t1 backup(s)\tnever complete\t-\t2026-12-02 10:00:00: "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("127.0.0.2:1000\t1 backup(s)\t2026-12-01 10:00:00 ("), std::string::npos)
        << r.out;
}

}  // namespace
