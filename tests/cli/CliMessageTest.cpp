// What velqo-cli says, before any box, about a backup or a box it cannot
// find: the word it was probably meant to be, and where it was looked for.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/TextEscape.h"
#include "cli/CliClient.h"
#include "cli/CliCommandTable.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"

namespace {

struct ClosedFile {
    void operator()(FILE* f) const { std::fclose(f); }
};

std::string Contents(FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[256];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        text.append(buffer, n);
    }
    return text;
}

}  // namespace

TEST(CliMessage, WhatCannotBeFoundIsSaidWithWhatWasMeant) {
    const TempDir dir;
    const std::string store = (dir.Path() / "backup").string();
    const std::vector<StoredFile> files = {{"Config", "config.txt", 1, "volume=3\n"}};
    const std::string held =
        WriteStoredBackup(store, StoredName("127.0.0.70", "20261201120000", 1, 4000), files)
            .string();
    struct Case {
        const char* what;
        CliOptions::Command command;
        std::vector<std::string> names;  // as after the command word
        bool underDirectory;             // -C DIR given
        std::string said;
        int status;
    };
    const Case cases[] = {
        {"a mistyped latest",
         CliOptions::Command::kCompare,
         {"lates"},
         false,
         "velqo-cli: lates: no such folder; did you mean 'latest'?",
         CliClient::kExitUsage},
        {"a diff side that is no folder",
         CliOptions::Command::kDiff,
         {held, "boks"},
         false,
         "velqo-cli: boks: no such folder",
         CliClient::kExitUsage},
        {"a relative folder under -C",
         CliOptions::Command::kRestore,
         {"old"},
         true,
         "velqo-cli: old: no such folder (read under -C " + QuoteForMessage(dir.Path().string()) +
             ")",
         CliClient::kExitUsage},
        {"a mistyped name",
         CliOptions::Command::kRestore,
         {held, "confg.txt"},
         false,
         "velqo-cli: confg.txt: not in the backup; nothing was sent; did you mean 'config.txt'?",
         CliClient::kExitFailed},
        {"a box backed up on another port",
         CliOptions::Command::kHistory,
         {"127.0.0.70"},
         false,
         "velqo-cli: the store has backups of 127.0.0.70 on another port: 127.0.0.70+4000 "
         "(history 127.0.0.70+4000)",
         CliClient::kExitOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliCommandRow* row = FindCommandRow(c.command);
        ASSERT_NE(row, nullptr);
        CliOptions options;
        options.command = c.command;
        options.names = c.names;
        options.directory = c.underDirectory ? dir.Path().string() : "";
        std::string error;
        ASSERT_TRUE(row->takeNames(row->word, &options, &error)) << error;
        const std::unique_ptr<FILE, ClosedFile> out(std::tmpfile());
        const std::unique_ptr<FILE, ClosedFile> err(std::tmpfile());
        CliOutput output(out.get(), err.get(), c.command, false);
        CliContext context(options, output);
        context.directory = dir.Path();
        const std::unique_ptr<CliCommand> command = row->make(context);
        int status = command->Check();
        if (status == CliClient::kExitOk && row->reach(options) != CliReach::kBox) {
            status = command->Run(nullptr);
        }
        EXPECT_EQ(status, c.status);
        EXPECT_NE(Contents(err.get()).find(c.said + "\n"), std::string::npos)
            << Contents(err.get());
    }
}
