#include <gtest/gtest.h>

#include "base/NearestWord.h"

TEST(NearestWord, SuggestsOnlyAWordWithinAFewSlips) {
    const std::vector<std::string> known = {"list", "get", "backup", "backups", "config.txt"};
    const std::pair<const char*, const char*> cases[] = {
        {"lsit", "list"},  // two neighbours swapped: one slip
        {"gett", "get"},
        {"bakcup", "backup"},  // the nearest, not the first near one
        {"backupss", "backups"},
        {"confg.txt", "config.txt"},
        {"ls", ""},  // two slips in a short word make another word
        {"fetch", ""},
        {"CONFIG.TXT", ""},  // letter case counts
        {"", ""},
    };
    for (const auto& [typed, nearest] : cases) {
        EXPECT_EQ(NearestWord(typed, known), nearest) << typed;
    }
    EXPECT_EQ(NearestWord("list", {}), "");
}
