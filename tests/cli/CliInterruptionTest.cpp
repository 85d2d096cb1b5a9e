// The line an interrupted backup, put or restore ends with, per command and
// per moment.
#include <gtest/gtest.h>

#include <string>

#include "cli/CliInterruption.h"

TEST(CliInterruption, SaysWhatWasDoneWhatMayBeHalfSentAndWhatToRunNext) {
    using Command = CliOptions::Command;
    const struct {
        CliInterruption::State state;
        const char* text;
    } cases[] = {
        {{Command::kBackup, 3, 7, "channels.db", "backup/127.0.0.1-20261209-100000"},
         "velqo-cli: interrupted: 3 of 7 file(s) saved in backup/127.0.0.1-20261209-100000, "
         "which stays INCOMPLETE; run velqo-cli backup again for a complete one\n"},
        {{Command::kRestore, 3, 7, "channels.db", "latest~1"},
         "velqo-cli: interrupted: 3 of 7 file(s) sent; channels.db may be half-sent on the box; "
         "run velqo-cli restore --changed-only latest~1 again\n"},
        {{Command::kRestore, 7, 7, "", "my backups/b"},
         "velqo-cli: interrupted: 7 of 7 file(s) sent; no file was being sent; run velqo-cli "
         "restore --changed-only 'my backups/b' again\n"},
        {{Command::kPut, 1, 3, "it's.txt", "", {"it's.txt", "b\x1b.txt"}},
         "velqo-cli: interrupted: 1 of 3 file(s) sent; it's.txt may be half-sent on the box; run "
         "velqo-cli put 'it'\\''s.txt' 'b\\x1b.txt' again\n"},
        {{Command::kGet, 1, 3, "a.txt"}, ""},  // a download leaves nothing half-written
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CliInterruption::Text(c.state), c.text);
    }
}
