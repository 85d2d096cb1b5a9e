// Which names from the box may be used as file names in the working directory.
#include <gtest/gtest.h>

#include <string>

#include "box/PlainFileName.h"

namespace {

constexpr FileNameFault kNone = FileNameFault::kNone;
constexpr FileNameFault kNotPlain = FileNameFault::kNotPlain;
constexpr FileNameFault kSpecial = FileNameFault::kWindowsSpecial;

struct NameCase {
    const char* name;
    FileNameFault fault;
};

TEST(PlainFileName, OnlyNamesThatAreOneOrdinaryFileEverywhere) {
    const std::string longest(31, 'a');
    const std::string tooLong(32, 'a');
    const NameCase cases[] = {
        {"config.txt", kNone},
        {"Channel List.dat", kNone},
        {".profile", kNone},
        {"~a-b_c+(1).bin", kNone},
        {"CONSOLE.txt", kNone},
        {"COM10", kNone},
        {"nulls.txt", kNone},
        {longest.c_str(), kNone},
        {"", kNotPlain},
        {tooLong.c_str(), kNotPlain},
        {".", kNotPlain},
        {"..", kNotPlain},
        {"../evil.txt", kNotPlain},
        {"..\\evil.txt", kNotPlain},
        {"a:stream", kNotPlain},
        {"C:x", kNotPlain},
        {"a*b", kNotPlain},
        {"a?b", kNotPlain},
        {"a\"b", kNotPlain},
        {"a<b", kNotPlain},
        {"a>b", kNotPlain},
        {"a|b", kNotPlain},
        {"tab\there", kNotPlain},
        {"config.txt.", kSpecial},
        {"config.txt ", kSpecial},
        {"CON", kSpecial},
        {"con", kSpecial},
        {"nul.txt", kSpecial},
        {"Aux.tar.gz", kSpecial},
        {"PRN ", kSpecial},
        {"prn .txt", kSpecial},
        {"COM1", kSpecial},
        {"lpt9.log", kSpecial},
        {"CONIN$", kSpecial},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(CheckFileName(c.name), c.fault) << '"' << c.name << '"';
        EXPECT_EQ(IsPlainFileName(c.name), c.fault == kNone) << '"' << c.name << '"';
    }
    EXPECT_EQ(CheckFileName(nullptr), kNotPlain);
}

}  // namespace
