// Which older backups --keep removes: a table of backups folders, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupRotation.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A folder of the backups folder: its name, and what it holds.
enum class Kind { kComplete, kIncomplete, kNoManifest, kPlainFile, kLinkToComplete };

void Make(const std::string& name, Kind kind) {
    const fs::path folder = fs::path("backups") / name;
    if (kind == Kind::kPlainFile) {
        WriteFile(folder.string(), "not a folder");
        return;
    }
    if (kind == Kind::kLinkToComplete) {
        fs::create_directory_symlink(fs::absolute("elsewhere"), folder);
        return;
    }
    fs::create_directories(folder);
    WriteFile((folder / "config.txt").string(), "a=1");
    WriteFile((folder / "SHA256SUMS").string(), "");
    if (kind != Kind::kNoManifest) {
        WriteFile((folder / "manifest.txt").string(), "");
    }
    if (kind == Kind::kIncomplete) {
        WriteFile((folder / "INCOMPLETE").string(), "config.txt: the download failed\n");
    }
}

std::vector<std::string> Left() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator("backups")) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(BackupRotation, RemovesOnlyTheOldestCompleteBackupsOfTheHost) {
    const char* made = "127.0.0.1-20240301-090000";
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, Kind>> older;
        int keep;
        std::vector<std::string> removed;  // in the order removed
    };
    const std::vector<Case> cases = {
        {"the oldest go",
         {{"127.0.0.1-20240101-120000", Kind::kComplete},
          {"127.0.0.1-20240201-120000", Kind::kComplete},
          {"127.0.0.1-20240102-120000", Kind::kComplete}},
         2,
         {"127.0.0.1-20240101-120000", "127.0.0.1-20240102-120000"}},
        {"incomplete ones neither count nor go",
         {{"127.0.0.1-20240101-120000", Kind::kIncomplete},
          {"127.0.0.1-20240102-120000", Kind::kComplete},
          {"127.0.0.1-20240103-120000", Kind::kIncomplete}},
         2,
         {}},
        {"other hosts and other folders stay",
         {{"127.0.0.10-20240101-120000", Kind::kComplete},
          {"127.0.0.1-20240101-120000", Kind::kNoManifest},
          {"127.0.0.1-20240102-120000", Kind::kPlainFile},
          {"127.0.0.1-2024-01-03", Kind::kComplete},
          {"x127.0.0.1-20240104-120000", Kind::kComplete}},
         1,
         {}},
        {"a second backup in a second sorts after the first, -10 after -9",
         {{"127.0.0.1-20240101-120000-10", Kind::kComplete},
          {"127.0.0.1-20240101-120000-9", Kind::kComplete},
          {"127.0.0.1-20240101-120000", Kind::kComplete}},
         2,
         {"127.0.0.1-20240101-120000", "127.0.0.1-20240101-120000-9"}},
        {"never the one just made, though a clock set back names it older",
         {{"127.0.0.1-20250101-120000", Kind::kComplete}},
         1,
         {"127.0.0.1-20250101-120000"}},
        {"keep as many as there are", {{"127.0.0.1-20240101-120000", Kind::kComplete}}, 2, {}},
#ifndef _WIN32
        {"a link is not a backup", {{"127.0.0.1-20240101-120000", Kind::kLinkToComplete}}, 1, {}},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        fs::create_directories("elsewhere");
        WriteFile("elsewhere/manifest.txt", "");
        WriteFile("elsewhere/SHA256SUMS", "");
        Make(made, Kind::kComplete);
        std::vector<std::string> expected = {made};
        for (const auto& [name, kind] : c.older) {
            Make(name, kind);
            if (std::find(c.removed.begin(), c.removed.end(), name) == c.removed.end()) {
                expected.push_back(name);
            }
        }
        std::sort(expected.begin(), expected.end());
        const BackupRotation::Outcome outcome =
            BackupRotation::Prune(fs::absolute(fs::path("backups") / made), c.keep);
        std::vector<std::string> removed;
        for (const fs::path& p : outcome.removed) {
            removed.push_back(p.filename().string());
        }
        EXPECT_EQ(removed, c.removed);
        EXPECT_TRUE(outcome.failed.empty());
        EXPECT_EQ(Left(), expected);
        EXPECT_TRUE(fs::exists("elsewhere/manifest.txt"));
    }
}
