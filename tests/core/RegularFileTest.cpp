// What a folder's entry is found to be when opened as one of the folder's
// own files, and when links are followed: a link of either platform (under
// Wine, a POSIX link, which Windows calls shows as the file it leads to) is
// refused, a hard link is the folder's file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/RegularFile.h"
#include "tests/support/SymbolicLink.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(RegularFileTest, ALinkIsRefusedWhereOnlyTheFolderOwnFilesMayBeRead) {
    TempDir dir;
    fs::create_directories("folder/inner");
    // The links go before their targets: the Windows build's remove_all
    // does not know links, and one left dangling stops it. No link to a
    // folder, which it would walk into.
    struct Unlink {
        ~Unlink() {
            for (const char* link : {"folder/near.txt", "folder/far.txt"}) {
                EXPECT_TRUE(RemoveSymbolicLink(link)) << link;
            }
        }
    } unlink;
    fs::create_directories("outside");
    WriteFile("folder/own.txt", "own");
    WriteFile("outside/secret.txt", "secret");
    fs::create_hard_link("folder/own.txt", "folder/hard.txt");
    ASSERT_TRUE(MakeSymbolicLink("own.txt", "folder/near.txt"));
    ASSERT_TRUE(MakeSymbolicLink(fs::absolute("outside/secret.txt"), "folder/far.txt"));
    struct Row {
        const char* name;
        FileKind refusing;  // LinkRule::kRefuse
        FileKind following;
        const char* bytes;  // read when regular with kRefuse, else when following
    };
    const Row rows[] = {
        {"own.txt", FileKind::kRegular, FileKind::kRegular, "own"},
        {"hard.txt", FileKind::kRegular, FileKind::kRegular, "own"},
        {"near.txt", FileKind::kLink, FileKind::kRegular, "own"},
        {"far.txt", FileKind::kLink, FileKind::kRegular, "secret"},
        {"inner", FileKind::kFolder, FileKind::kFolder, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const LinkRule rule : {LinkRule::kRefuse, LinkRule::kFollow}) {
            const FileKind expected = rule == LinkRule::kRefuse ? row.refusing : row.following;
            std::string text;
            FileKind kind = FileKind::kMissing;
            const bool read =
                ReadRegularFile(fs::path("folder") / row.name, rule, 100, &text, &kind);
            EXPECT_EQ(kind, expected) << (rule == LinkRule::kRefuse ? "refusing" : "following");
            EXPECT_EQ(read, expected == FileKind::kRegular);
            EXPECT_EQ(text, read ? row.bytes : "");
        }
    }
}

// Why a file was not read, as messages name it: the limit for one too large.
TEST(RegularFileTest, WhatWasNotReadIsSaidInWords) {
    TempDir dir;
    fs::create_directories("folder");
    WriteFile("big.txt", std::string(11, 'b'));
    const struct {
        const char* name;
        const char* reason;
    } rows[] = {
        {"big.txt", "larger than 10 bytes"},
        {"absent.txt", "does not exist"},
        {"folder", "not read: it is a folder"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text;
        FileKind kind = FileKind::kRegular;
        EXPECT_FALSE(ReadRegularFile(row.name, LinkRule::kRefuse, 10, &text, &kind));
        EXPECT_EQ(NotReadReason(kind, 10), row.reason);
    }
}
