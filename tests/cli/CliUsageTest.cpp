// help COMMAND: each command's usage, options and example, and nothing of
// the others; --help keeps them all.
#include <gtest/gtest.h>

#include <string>

#include "cli/CliCommandTable.h"
#include "cli/CliUsage.h"

TEST(CliUsage, EachCommandsHelpHoldsItsOwnRowAndNoOther) {
    const std::string whole = CliUsage();
    for (const CliCommandRow& row : CliCommandRows()) {
        const std::string help = CliCommandUsage(row.command);
        EXPECT_EQ(help.rfind(std::string("Usage: velqo-cli [OPTION]... ") + row.usage + "\n", 0),
                  0u)
            << row.word;
        EXPECT_NE(help.find(row.description), std::string::npos) << row.word;
        EXPECT_NE(help.find(std::string("  ") + row.example + "\n"), std::string::npos) << row.word;
        EXPECT_NE(whole.find(row.description), std::string::npos) << row.word;
        for (const CliCommandRow& other : CliCommandRows()) {
            if (other.command != row.command) {
                EXPECT_EQ(help.find(other.description), std::string::npos)
                    << row.word << " shows " << other.word;
            }
        }
    }
}

TEST(CliUsage, ACommandsHelpNamesTheOptionsThatApplyToIt) {
    const struct {
        CliOptions::Command command;
        const char* shown;
        const char* notShown;
    } cases[] = {
        {CliOptions::Command::kPut, "  --verify ", "  --dry-run "},
        {CliOptions::Command::kRestore, "  --dry-run ", "  --keep "},
        {CliOptions::Command::kBackup, "  --git-exclude ", "  --verify "},
        {CliOptions::Command::kDiff, "  --names-only ", "  --all "},
    };
    for (const auto& c : cases) {
        const std::string help = CliCommandUsage(c.command);
        EXPECT_NE(help.find(c.shown), std::string::npos) << c.shown;
        EXPECT_EQ(help.find(c.notShown), std::string::npos) << c.notShown;
    }
    EXPECT_EQ(CliCommandUsage(CliOptions::Command::kNone), CliUsage());
}
