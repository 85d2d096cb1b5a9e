#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "catalog/Manifest.h"

namespace {

Manifest ParseOk(const std::string& text) {
    Manifest m;
    std::string error;
    EXPECT_TRUE(Manifest::Parse(text, &m, &error)) << error;
    return m;
}

std::string ParseError(const std::string& text) {
    Manifest m;
    std::string error;
    EXPECT_FALSE(Manifest::Parse(text, &m, &error)) << text;
    return error;
}

TEST(Manifest, ReadsFieldsCommentsQuotesAndLineEnds) {
    const Manifest m = ParseOk(
        "\xEF\xBB\xBF# demo box\r\n"
        "\r\n"
        "Settings  config.txt  1\r\n"
        "\t\"TV Lists\"\t\"my list.bin\"\t-2   # trailing comment\n"
        "   # indented comment\n"
        "Firmware update#1.pkg +3\n"
        "Settings config.txt 0");
    ASSERT_EQ(m.Entries().size(), 4u);
    EXPECT_EQ(m.Entries()[0].group, "Settings");
    EXPECT_EQ(m.Entries()[0].name, "config.txt");
    EXPECT_EQ(m.Entries()[0].type, 1);
    EXPECT_EQ(m.Entries()[1].group, "TV Lists");
    EXPECT_EQ(m.Entries()[1].name, "my list.bin");
    EXPECT_EQ(m.Entries()[1].type, -2);
    EXPECT_EQ(m.Entries()[2].name, "update#1.pkg");
    EXPECT_EQ(m.Entries()[2].type, 3);
    // The same name twice is kept (the box lists what it is told); lookups
    // find the first.
    EXPECT_EQ(m.Entries()[3].type, 0);
    ASSERT_NE(m.Find("config.txt"), nullptr);
    EXPECT_EQ(m.Find("config.txt")->type, 1);
    EXPECT_EQ(m.Find("CONFIG.TXT"), nullptr);
    EXPECT_TRUE(ParseOk("").Entries().empty());
    EXPECT_TRUE(ParseOk("# nothing\n\n").Entries().empty());
}

TEST(Manifest, RejectsBadLinesNamingTheLine) {
    EXPECT_EQ(ParseError("A a.txt 1\nB b.txt\n"),
              "line 2: expected GROUP NAME TYPE, found 2 field(s)");
    EXPECT_NE(ParseError("A a.txt 1 extra").find("line 1: expected GROUP NAME TYPE"),
              std::string::npos);
    EXPECT_NE(ParseError("A a.txt one").find("type \"one\""), std::string::npos);
    EXPECT_NE(ParseError("A a.txt 1x").find("type"), std::string::npos);
    EXPECT_NE(ParseError("A a.txt 2147483648").find("type"), std::string::npos);
    EXPECT_NE(ParseError("A a.txt -").find("type"), std::string::npos);
    EXPECT_NE(ParseError("SixteenCharsLong a.txt 1").find("group name"), std::string::npos);
    EXPECT_NE(ParseError("\"\" a.txt 1").find("group name"), std::string::npos);
    EXPECT_NE(ParseError("G\x1b a.txt 1").find("holds a control character"), std::string::npos);
    for (const char* name :
         {"../a", "a/b", "a\\b", "c:x", "..", ".", "abcdefghijklmnopqrstuvwxyz012345"}) {
        EXPECT_NE(ParseError(std::string("G ") + name + " 1").find("file name"), std::string::npos)
            << name;
    }
    EXPECT_NE(ParseError("\"A a.txt 1").find("missing closing quote"), std::string::npos);
    EXPECT_NE(ParseError("\"A\"b a.txt 1").find("after a closing quote"), std::string::npos);
    EXPECT_NE(ParseError("A a\"b 1").find("quote inside"), std::string::npos);
    // A bad line leaves the earlier result untouched.
    Manifest m = ParseOk("A a.txt 1\n");
    std::string error;
    EXPECT_FALSE(Manifest::Parse("B b.txt\n", &m, &error));
    ASSERT_EQ(m.Entries().size(), 1u);
    EXPECT_EQ(m.Entries()[0].name, "a.txt");
}

TEST(Manifest, HoldsAtMost28Files) {
    std::string text;
    for (int i = 0; i < 28; ++i) {
        text += "G f" + std::to_string(i) + " 0\n";
    }
    EXPECT_EQ(ParseOk(text).Entries().size(), 28u);
    EXPECT_EQ(ParseError(text + "# fine\nG f28 0\n"),
              "line 30: more than 28 files; the box lists at most 28");
}

TEST(Manifest, FormatReadsBackTheSameEntries) {
    const std::vector<ManifestEntry> entries = {
        {"Settings", "config.txt", 1}, {"TV Lists", "#hash.bin", -7}, {"G", "with space", 2}};
    const Manifest m = ParseOk(Manifest::Format(entries));
    ASSERT_EQ(m.Entries().size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(m.Entries()[i].group, entries[i].group);
        EXPECT_EQ(m.Entries()[i].name, entries[i].name);
        EXPECT_EQ(m.Entries()[i].type, entries[i].type);
    }
}

TEST(Manifest, LoadNamesTheFileInErrors) {
    Manifest m;
    std::string error;
    EXPECT_FALSE(Manifest::Load("no-such-manifest.txt", &m, &error));
    EXPECT_EQ(error, "no-such-manifest.txt: does not exist");
    {
        std::ofstream out("bad-manifest.txt");
        out << "A a.txt 1\nA b.txt\n";
    }
    EXPECT_FALSE(Manifest::Load("bad-manifest.txt", &m, &error));
    EXPECT_EQ(error.rfind("bad-manifest.txt: line 2: ", 0), 0u) << error;
    std::filesystem::remove("bad-manifest.txt");
}

}  // namespace
