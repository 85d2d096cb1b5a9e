#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "catalog/FileCatalog.h"

namespace {

std::string GroupName(const FileCatalog& c, int g) {
    char name[16];
    return c.GetGroupName(g, name) ? name : "<none>";
}

std::string FileName(const FileCatalog& c, int g, int f, int32_t* type = nullptr) {
    char name[32];
    int32_t t = 0;
    if (!c.GetFile(g, f, name, &t)) {
        return "<none>";
    }
    if (type != nullptr) {
        *type = t;
    }
    return name;
}

}  // namespace

TEST(FileCatalog, GroupsKeepFirstAppearanceAndFilesArrivalOrder) {
    auto c = std::make_unique<FileCatalog>();
    c->AddEntry("A", "f1", 1);
    c->AddEntry("B", "f2", 0);
    c->AddEntry("A", "f3", 2);
    ASSERT_EQ(c->GroupCount(), 2);
    EXPECT_EQ(GroupName(*c, 0), "A");
    EXPECT_EQ(GroupName(*c, 1), "B");
    EXPECT_EQ(c->FileCount(0), 2);
    int32_t type = -9;
    EXPECT_EQ(FileName(*c, 0, 1, &type), "f3");
    EXPECT_EQ(type, 2);
    EXPECT_EQ(FileName(*c, 1, 0), "f2");
}

TEST(FileCatalog, LookupsAreExactAndFirstMatchWins) {
    auto c = std::make_unique<FileCatalog>();
    c->AddEntry("G1", "same", 5);
    c->AddEntry("G2", "same", 7);
    c->AddEntry("G2", "Other", 1);
    EXPECT_EQ(c->FindFileType("same"), 5);
    EXPECT_EQ(c->FindFileType("other"), -1);  // case differs
    EXPECT_EQ(c->FindFileType("G1"), -1);     // group names are not searched
    EXPECT_EQ(c->FindFileType(nullptr), -1);
    c->AddEntry("G3", "G1", 2);
    EXPECT_EQ(c->FindFileType("G1"), 2);
    c->AddEntry("G1", "same", 9);  // duplicates take their own slot
    EXPECT_EQ(c->FileCount(0), 2);
}

TEST(FileCatalog, OutOfRangeIndexesGiveZeroOrFalse) {
    auto c = std::make_unique<FileCatalog>();
    c->AddEntry("A", "f", 0);
    EXPECT_EQ(c->FileCount(1), 0);
    EXPECT_EQ(c->FileCount(20), 0);
    EXPECT_EQ(c->FileCount(-1), 0);
    EXPECT_EQ(FileName(*c, 0, 1), "<none>");  // equal to fileCount
    EXPECT_EQ(FileName(*c, 0, -1), "<none>");
    EXPECT_EQ(GroupName(*c, 1), "<none>");
}

TEST(FileCatalog, CapacityDropsExtraGroupsAndFilesSilently) {
    auto c = std::make_unique<FileCatalog>();
    for (int g = 0; g < 21; ++g) {
        c->AddEntry(("g" + std::to_string(g)).c_str(), ("x" + std::to_string(g)).c_str(), 0);
    }
    EXPECT_EQ(c->GroupCount(), 20);
    EXPECT_EQ(c->FindFileType("x20"), -1);
    for (int f = 0; f < 30; ++f) {
        c->AddEntry("g0", ("y" + std::to_string(f)).c_str(), 1);
    }
    EXPECT_EQ(c->FileCount(0), 28);
    EXPECT_EQ(c->FindFileType("y26"), 1);
    EXPECT_EQ(c->FindFileType("y27"), -1);
}

TEST(FileCatalog, OverlongNamesAreCutToTheirFields) {
    auto c = std::make_unique<FileCatalog>();
    const std::string group(40, 'G'), file(60, 'F');
    c->AddEntry(group.c_str(), file.c_str(), 3);
    c->AddEntry(group.c_str(), "second", 4);  // same group once cut
    EXPECT_EQ(c->GroupCount(), 1);
    EXPECT_EQ(GroupName(*c, 0), std::string(15, 'G'));
    EXPECT_EQ(FileName(*c, 0, 0), std::string(31, 'F'));
    EXPECT_EQ(c->FindFileType(std::string(31, 'F').c_str()), 3);
}

TEST(FileCatalog, ClearEmptiesEverything) {
    auto c = std::make_unique<FileCatalog>();
    c->AddEntry("A", "f1", 1);
    c->Clear();
    EXPECT_EQ(c->GroupCount(), 0);
    EXPECT_EQ(c->FindFileType("f1"), -1);
    EXPECT_EQ(GroupName(*c, 0), "<none>");
}
