#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "box/ReplacingFile.h"
#include "tests/support/SymbolicLink.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(ReplacingFile, AReplacedFileOfOtherBytesIsKeptOnce) {
    const struct {
        const char* label;
        const char* before;  // f.txt; nullptr: none
        const char* kept;    // f.txt~ before; nullptr: none
        ReplacedFile replaced;
        const char* keptAfter;  // nullptr: none
    } cases[] = {
        {"no earlier file", nullptr, nullptr, ReplacedFile::kKeep, nullptr},
        {"the same bytes", "new\n", nullptr, ReplacedFile::kKeep, nullptr},
        {"the same bytes, an older copy stays", "new\n", "older\n", ReplacedFile::kKeep, "older\n"},
        {"other bytes", "edited\n", nullptr, ReplacedFile::kKeep, "edited\n"},
        {"other bytes replace the older copy", "edited\n", "older\n", ReplacedFile::kKeep,
         "edited\n"},
        {"a shorter file", "new", nullptr, ReplacedFile::kKeep, "new"},
        {"kept off", "edited\n", nullptr, ReplacedFile::kDiscard, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        if (c.before != nullptr) {
            WriteFile("f.txt", c.before);
        }
        if (c.kept != nullptr) {
            WriteFile("f.txt~", c.kept);
        }
        ReplacingFile file("f.txt", "~f.txt.part", c.replaced);
        file.Write("new\n", 4);
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(ReadFile("f.txt"), "new\n");
        EXPECT_EQ(file.Kept(), c.before != nullptr && c.keptAfter != nullptr &&
                                   std::string(c.before) != "new\n");
        if (c.keptAfter == nullptr) {
            EXPECT_FALSE(Exists("f.txt~"));
        } else {
            EXPECT_EQ(ReadFile("f.txt~"), c.keptAfter);
        }
        EXPECT_FALSE(Exists("~f.txt.part"));
    }
}

TEST(ReplacingFile, AFolderNamedLikeTheCopyLeavesTheTargetAsItWas) {
    TempDir dir;
    WriteFile("f.txt", "edited\n");
    fs::create_directory("f.txt~");
    ReplacingFile file("f.txt", "~f.txt.part", ReplacedFile::kKeep);
    file.Write("new\n", 4);
    EXPECT_FALSE(file.Commit());
    EXPECT_TRUE(file.KeepFailed());
    EXPECT_EQ(ReadFile("f.txt"), "edited\n");
    EXPECT_TRUE(fs::is_directory("f.txt~"));
}

TEST(ReplacingFile, NoLinkIsFollowedOrWrittenThrough) {
    TempDir dir;
    WriteFile("elsewhere.txt", "not ours\n");
    WriteFile("f.txt", "edited\n");
    if (!MakeSymbolicLink("elsewhere.txt", "f.txt~")) {
        GTEST_SKIP() << "no symbolic link can be made here";
    }
    // A link where the copy goes is neither followed nor removed: nothing is replaced.
    {
        ReplacingFile file("f.txt", "~f.txt.part", ReplacedFile::kKeep);
        file.Write("new\n", 4);
        EXPECT_FALSE(file.Commit());
        EXPECT_TRUE(file.KeepFailed());
    }
    EXPECT_EQ(ReadFile("f.txt"), "edited\n");
    EXPECT_EQ(ReadFile("elsewhere.txt"), "not ours\n");
    EXPECT_EQ(ReadFile("f.txt~"), "not ours\n");  // still the link
    EXPECT_TRUE(RemoveSymbolicLink("f.txt~"));
}
