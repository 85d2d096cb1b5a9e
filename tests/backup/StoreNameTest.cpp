// Box names as store names: one store name per name, read back to the name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "backup/StoreName.h"

TEST(StoreNameTest, EachNameHasItsOwnStoreNameAndReadsBack) {
    struct Case {
        std::string name;
        const char* stored;
    } cases[] = {
        {"127.0.0.1", "127.0.0.1"},
        {"living-room_2", "living-room_2"},
        {"B\xC3\xBCro", "B%C3%BCro"},  // Büro
        {"B\xC3\xB6ro", "B%C3%B6ro"},  // Böro
        {"a b", "a%20b"},
        {"a_b", "a_b"},
        {"a/b", "a%2Fb"},
        {"a+4000", "a%2B4000"},  // never read as a port
        {"100%", "100%25"},
        {".hidden", "%2Ehidden"},
        {"a.b.", "a.b."},
        {"..", "%2E."},
        {"esc\x1b]0;x\x07", "esc%1B%5D0%3Bx%07"},
        {"\xFF", "%FF"},  // not UTF-8
        {"", "_"},
    };
    std::set<std::string> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stored = StoreName::Encode(c.name);
        EXPECT_EQ(stored, c.stored);
        EXPECT_TRUE(StoreName::IsStoreName(stored));
        EXPECT_TRUE(seen.insert(stored).second) << "shared: " << stored;
        if (!c.name.empty()) {
            EXPECT_EQ(StoreName::Decode(stored), c.name);
        }
    }
}

TEST(StoreNameTest, OnlyOneSpellingOfANameIsAStoreName) {
    struct Case {
        const char* text;
        bool storeName;
    } cases[] = {
        {"B__ro", true},   // an earlier version's, read as itself
        {".old", true},    // an earlier version's hidden one
        {"%41", false},    // 'A' is written as it is
        {"a%2Eb", false},  // so is a '.' after the first
        {"%2Eb", true},    // but not a first one
        {"a%2fb", false},  // upper-case hex only
        {"a%2", false},   {"a%zz", false}, {"a+b", false},
        {"a b", false},   {"", false},     {"B\xC3\xBCro", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoreName::IsStoreName(c.text), c.storeName) << c.text;
    }
    EXPECT_EQ(StoreName::Decode("a%2fb"), "a%2fb");  // no store name: shown as it is
    EXPECT_TRUE(StoreName::Fits(std::string(StoreName::kMaxLength, 'a')));
    EXPECT_FALSE(StoreName::Fits(std::string(StoreName::kMaxLength / 3 + 1, '\xC3')));
}
