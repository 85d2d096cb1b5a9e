// What an interrupted run removes: the registered paths, files before the
// folders that hold them, whatever their nesting. (The signals themselves
// reach a real velqo-cli in CliInterruptTest.)
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/RemovedOnSignal.h"
#include "base/SignalCleanup.h"
#include "box/ReplacingFile.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(SignalCleanup, RemovesRegisteredFilesThenTheirFoldersInnermostFirst) {
    TempDir dir;
    fs::create_directories("outer/inner");
    WriteFile("outer/inner/a.part", "a");
    WriteFile("outer/b.part", "b");
    WriteFile("kept.txt", "kept");
    const int before = SignalCleanup::RegisteredCount();
    {
        // Registered outermost first: the removal must not depend on the order.
        RemovedOnSignal outer("outer", SignalCleanup::Kind::kFolder);
        RemovedOnSignal inner("outer/inner", SignalCleanup::Kind::kFolder);
        RemovedOnSignal a("outer/inner/a.part", SignalCleanup::Kind::kFile);
        RemovedOnSignal b("outer/b.part", SignalCleanup::Kind::kFile);
        RemovedOnSignal released("kept.txt", SignalCleanup::Kind::kFile);
        released.Release();
        EXPECT_EQ(SignalCleanup::RegisteredCount(), before + 4);
        // Paths are kept absolute: a later change of directory does not matter.
        fs::create_directory("elsewhere");
        fs::current_path("elsewhere");
        SignalCleanup::RemoveRegistered();
        fs::current_path("..");
    }
    EXPECT_EQ(SignalCleanup::RegisteredCount(), before);
    EXPECT_FALSE(fs::exists("outer"));
    EXPECT_EQ(ReadFile("kept.txt"), "kept");
}

TEST(SignalCleanup, SlotsRunOutWithoutHarm) {
    TempDir dir;
    const int before = SignalCleanup::RegisteredCount();
    std::vector<RemovedOnSignal> held;
    for (int i = before; i < SignalCleanup::kSlots; ++i) {
        held.emplace_back("f" + std::to_string(i), SignalCleanup::Kind::kFile);
    }
    RemovedOnSignal extra("extra", SignalCleanup::Kind::kFile);
    EXPECT_FALSE(extra.IsRegistered());
    EXPECT_EQ(SignalCleanup::Register(fs::path(std::string(5000, 'x')), SignalCleanup::Kind::kFile),
              -1);
    held.clear();
    EXPECT_EQ(SignalCleanup::RegisteredCount(), before);
}

TEST(SignalCleanup, AReplacingFileIsRegisteredUntilItIsInPlace) {
    TempDir dir;
    const int before = SignalCleanup::RegisteredCount();
    {
        ReplacingFile file("target.bin", "~velqo-target.bin.part");
        ASSERT_TRUE(file.IsOpen());
        EXPECT_EQ(SignalCleanup::RegisteredCount(), before + 1);
        file.Write("x", 1);
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(SignalCleanup::RegisteredCount(), before);
    }
    {
        ReplacingFile broken("other.bin", "~velqo-other.bin.part");
        EXPECT_EQ(SignalCleanup::RegisteredCount(), before + 1);
    }
    EXPECT_EQ(SignalCleanup::RegisteredCount(), before);
    EXPECT_EQ(ReadFile("target.bin"), "x");
    EXPECT_FALSE(Exists("~velqo-other.bin.part"));
}
