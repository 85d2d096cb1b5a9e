// A key set in a settings file, every other line kept as it was.
#include "box/SettingsFileEdit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "box/BoxSettings.h"
#include "tests/support/TempDir.h"

namespace {

struct EditCase {
    const char* before;  // null: no file
    const char* after;
};

const EditCase kEdits[] = {
    {nullptr, "BOXIP=127.0.0.5\n"},
    {"", "BOXIP=127.0.0.5\n"},
    {"# mine\nPASSWORD=1234\nOTHER=x", "# mine\nPASSWORD=1234\nOTHER=x\nBOXIP=127.0.0.5\n"},
    {"boxip=192.168.1.9\r\nPORT=4000\r\n", "BOXIP=127.0.0.5\r\nPORT=4000\r\n"},
    {"\xEF\xBB\xBF"
     "BOXIP=1.2.3.4\nBOXIP = 9.9.9.9\n",
     "\xEF\xBB\xBF"
     "BOXIP=127.0.0.5\nBOXIP = 9.9.9.9\n"},
    {"BOXIPX=1\nBOXIP=1.2.3.4\nBOXIP=1.2.3.5\n", "BOXIPX=1\nBOXIP=127.0.0.5\nBOXIP=127.0.0.5\n"},
};

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SettingsFileEditTest, SetsTheKeyAndKeepsTheRest) {
    for (const EditCase& c : kEdits) {
        TempDir dir;
        const std::filesystem::path file = dir.Path() / "config" / "config.ini";
        if (c.before != nullptr) {
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << c.before;
        }
        std::string why;
        ASSERT_TRUE(SettingsFileEdit::Set(file, {{"BOXIP", "127.0.0.5"}}, &why)) << why;
        EXPECT_EQ(Read(file), c.after) << (c.before != nullptr ? c.before : "(none)");
        BoxSettings read;
        ASSERT_TRUE(read.LoadFrom(file.string().c_str()));
        EXPECT_STREQ(read.BoxIp(), "127.0.0.5");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

TEST(SettingsFileEditTest, AFolderInItsPlaceIsLeftAlone) {
    TempDir dir;
    const std::filesystem::path file = dir.Path() / "config.ini";
    std::filesystem::create_directories(file);
    std::string why;
    EXPECT_FALSE(SettingsFileEdit::Set(file, {{"BOXIP", "127.0.0.5"}}, &why));
    EXPECT_NE(why.find("config.ini"), std::string::npos) << why;
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

}  // namespace
