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
    // Names Windows would run or load, in any case and as Windows reads
    // trailing dots and blanks; a name that only holds such a word is none.
    for (const char* name : {"git.exe", "iphlpapi.dll", "RUN.Bat", "a.cmd. ", "a.exe.", "x.ps1",
                             "go.lnk", "a.appref-ms", "s.SCR", "t.vbs", "desktop.ini", ".exe"}) {
        EXPECT_EQ(CheckFileName(name), FileNameFault::kWindowsRunnable) << name;
        EXPECT_EQ(IsPlainFileName(name), kUsedHere) << name;
        EXPECT_EQ(UnusableNameText(name).empty(), kUsedHere) << name;
    }
    for (const char* name :
         {"exe", "git.exe.txt", "a.dll2", "dll.txt", "a.exe_", "desktop.ini.txt"}) {
        EXPECT_EQ(CheckFileName(name), FileNameFault::kNone) << name;
    }
}
