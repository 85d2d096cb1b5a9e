// The --json document's names: readable, and exact where readable is not.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/CliOutput.h"

namespace {

struct ClosedFile {
    void operator()(FILE* f) const { std::fclose(f); }
};

// The document `command` prints after one file of `name` in group `group`.
nlohmann::json DocumentWith(CliOptions::Command command, const std::string& group,
                            const std::string& name) {
    const std::unique_ptr<FILE, ClosedFile> out(std::tmpfile());
    const std::unique_ptr<FILE, ClosedFile> err(std::tmpfile());
    CliOutput output(out.get(), err.get(), command, true);
    if (command == CliOptions::Command::kList) {
        output.Listed(group, name, 1);
    } else {
        FileReport file{name, group};
        output.File(file);
    }
    output.Finish(0);
    std::rewind(out.get());
    std::string text;
    for (int c; (c = std::fgetc(out.get())) != EOF;) {
        text += static_cast<char>(c);
    }
    return nlohmann::json::parse(text);
}

}  // namespace

TEST(CliOutputTest, ANameNotUtf8IsReadableAndGivenExactly) {
    const struct {
        const char* bytes;
        const char* shown;
        const char* hex;  // null: no name_hex, the name is exact
    } names[] = {
        {"config.txt", "config.txt", nullptr},
        {"caf\xc3\xa9.txt", "caf\xc3\xa9.txt", nullptr},
        {"caf\xe9.txt", "caf\xef\xbf\xbd.txt", "636166e92e747874"},
        {"\xff", "\xef\xbf\xbd", "ff"},
    };
    for (const CliOptions::Command command :
         {CliOptions::Command::kList, CliOptions::Command::kBackup, CliOptions::Command::kGet}) {
        for (const auto& n : names) {
            SCOPED_TRACE(n.shown);
            const nlohmann::json file = DocumentWith(command, n.bytes, n.bytes)["files"][0];
            EXPECT_EQ(file["name"], n.shown);
            EXPECT_EQ(file.value("name_hex", nlohmann::json()),
                      n.hex != nullptr ? nlohmann::json(n.hex) : nlohmann::json());
            if (command != CliOptions::Command::kGet) {  // the group is a box's text too
                EXPECT_EQ(file.value("group_hex", nlohmann::json()),
                          file.value("name_hex", nlohmann::json()));
            }
        }
    }
}
