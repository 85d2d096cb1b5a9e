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
        // Quoted as the user's shell reads it back; a name with controls escaped.
        {{Command::kRestore, 7, 7, "", "my backups/b"},
         "velqo-cli: interrupted: 7 of 7 file(s) sent; no file was being sent; run velqo-cli "
#ifdef _WIN32
         "restore --changed-only \"my backups/b\" again\n"},
#else
         "restore --changed-only 'my backups/b' again\n"},
#endif
        {{Command::kPut, 1, 3, "it's.txt", "", {"it's.txt", "b\x1b.txt"}},
         "velqo-cli: interrupted: 1 of 3 file(s) sent; it's.txt may be half-sent on the box; run "
#ifdef _WIN32
         "velqo-cli put \"it's.txt\" b\\x1b.txt again\n"},
#else
         "velqo-cli put 'it'\\''s.txt' b\\x1b.txt again\n"},
#endif
        {{Command::kGet, 1, 3, "a.txt"}, ""},  // a download leaves nothing half-written
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CliInterruption::Text(c.state), c.text);
    }
}
