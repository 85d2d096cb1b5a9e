#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/NearestWord.h"

TEST(NearestWord, SuggestsOnlyAWordWithinAFewSlips) {
    const std::vector<std::string> commands = {"list", "get", "put", "backup", "backups"};
    const std::vector<std::string> files = {"config.txt", "channels.db", "logo.bmp"};
    struct Case {
        const char* typed;
        const std::vector<std::string>* known;
        const char* nearest;  // "" for none
    } cases[] = {
        {"lsit", &commands, "list"},      // two neighbours swapped: one slip
        {"gett", &commands, "get"},       // one letter too many
        {"pt", &commands, "put"},         // one letter missing
        {"bakcup", &commands, "backup"},  // the nearest, not the first near one
        {"backupss", &commands, "backups"},
        {"fetch", &commands, ""},
        {"lst", &commands, "list"},
        {"ls", &commands, ""},  // two slips in a short word are another word
        {"confg.txt", &files, "config.txt"},
        {"config.txt.bak", &files, ""},
        {"CONFIG.TXT", &files, ""},  // letter case counts: the box's names are exact
        {"", &files, ""},
        {"list", nullptr, ""},
    };
    const std::vector<std::string> none;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(NearestWord(c.typed, c.known != nullptr ? *c.known : none), c.nearest);
    }
}
