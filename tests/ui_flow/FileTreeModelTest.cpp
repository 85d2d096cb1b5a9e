#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalog/FileCatalog.h"
#include "tests/support/TempDir.h"
#include "ui/flow/FileTreeModel.h"

namespace {

// "Group: name/image name/image ..." with a '+' after an expanded group.
std::vector<std::string> Describe(const FileTreeModel& tree) {
    std::vector<std::string> lines;
    for (const TreeGroupItem& group : tree) {
        std::string line = group.name + (group.expanded ? "+:" : ":");
        for (const TreeFileItem& file : group.files) {
            line += " " + file.name + "/" + std::to_string(file.image);
        }
        lines.push_back(line);
    }
    return lines;
}

class FileTreeModelTest : public ::testing::Test {
protected:
    FileTreeModelTest() {
        catalog.AddEntry("A", "f1", 1);
        catalog.AddEntry("B", "f2", 0);
        catalog.AddEntry("A", "f3", 2);
        catalog.AddEntry("C", "update.pkg", 3);
        catalog.AddEntry("C", "sub/notes.txt", 1);
        catalog.AddEntry("D", "..", 1);
    }

    TempDir dir;
    FileCatalog catalog;
};

}  // namespace

TEST_F(FileTreeModelTest, BoxTreeShowsEveryListedFileInCatalogueOrder) {
    EXPECT_EQ(Describe(BuildBoxTree(catalog)),
              (std::vector<std::string>{"A: f1/1 f3/2", "B: f2/0",
                                        "C: update.pkg/0 sub/notes.txt/1", "D: ../1"}));
}

TEST_F(FileTreeModelTest, LocalTreeShowsOnlyPlainPicturedFilesOnDisk) {
    for (const char* name : {"f3", "f2", "update.pkg"}) {
        WriteFile(name, "x");
    }
    std::filesystem::create_directory("sub");
    WriteFile("sub/notes.txt", "not ours to show");
    std::filesystem::create_directory("f1");  // a folder is no file
    EXPECT_EQ(Describe(BuildLocalTree(catalog)),
              (std::vector<std::string>{"A: f3/2", "B: f2/0", "C:", "D:"}));
}

TEST_F(FileTreeModelTest, LocalTreeExpandsTheGroupOfTheNamedFile) {
    WriteFile("f1", "x");
    WriteFile("f3", "x");
    WriteFile("f2", "x");
    EXPECT_EQ(Describe(BuildLocalTree(catalog, "f3")),
              (std::vector<std::string>{"A+: f1/1 f3/2", "B: f2/0", "C:", "D:"}));
    // Names match exactly, case and all; a missing file expands nothing.
    EXPECT_EQ(Describe(BuildLocalTree(catalog, "F3"))[0], "A: f1/1 f3/2");
    std::filesystem::remove("f2");
    EXPECT_EQ(Describe(BuildLocalTree(catalog, "f2"))[1], "B:");
}

TEST(FileTreeModelSameFilesTest, IgnoresOnlyWhatIsExpanded) {
    const FileTreeModel shown = {{"A", true, {{"f1", 1}}}, {"B", false, {}}};
    struct Case {
        FileTreeModel other;
        bool same;
    } cases[] = {
        {{{"A", false, {{"f1", 1}}}, {"B", false, {}}}, true},
        {{{"A", true, {{"f1", 1}}}, {"B", false, {{"f2", 0}}}}, false},  // a file came
        {{{"A", true, {}}, {"B", false, {}}}, false},                    // a file went
        {{{"A", true, {{"f1", 2}}}, {"B", false, {}}}, false},
        {{{"A", true, {{"f1", 1}}}}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameFiles(shown, c.other), c.same);
    }
}
