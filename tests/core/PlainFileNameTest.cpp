// Which names from the box may be used as file names in the working directory.
#include <gtest/gtest.h>

#include <string>

#include "box/PlainFileName.h"

TEST(PlainFileName, OnlyNamesThatAreOneOrdinaryFileHere) {
    const std::string longest(31, 'a');
    for (const char* name : {"config.txt", ".profile", "CONSOLE.txt", "COM10", longest.c_str()}) {
        EXPECT_EQ(CheckFileName(name), FileNameFault::kNone) << name;
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
    const std::string tooLong(32, 'a');
    for (const char* name : {"", tooLong.c_str(), "..", "a/b", "a\\b", "a:s", "a\tb"}) {
        EXPECT_EQ(CheckFileName(name), FileNameFault::kNotPlain) << name;
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
    // Used where they are one ordinary file: backups made there stay usable.
#ifdef _WIN32
    constexpr bool kUsedHere = false;
#else
    constexpr bool kUsedHere = true;
#endif
    for (const char* name : {"a*b", "a?b", "a|b", "a<b", "a\"b", "a.txt.", "a.txt ", "con",
                             "Nul.txt", "prn .txt", "COM1", "lpt9.log"}) {
        EXPECT_EQ(CheckFileName(name), FileNameFault::kWindowsSpecial) << name;
        EXPECT_EQ(IsPlainFileName(name), kUsedHere) << name;
    }
}
