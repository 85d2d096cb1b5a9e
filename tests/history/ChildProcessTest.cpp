// Another program run with arguments as they are: each reaches it whole,
// blanks, quotes and backslashes included (on Windows the command line is
// quoted for the C runtime to split back); its output and status come back.
#include <gtest/gtest.h>

#include <string>

#include "base/ChildProcess.h"
#include "tests/support/ProgramRunner.h"

TEST(ChildProcessTest, EachArgumentArrivesWholeAndTheStatusAndOutputComeBack) {
    const struct {
        const char* word;
        const char* shown;  // as velqo-cli quotes an unknown command, backslashes doubled
    } cases[] = {
        {"lis t", "lis t"},
        {"a\"b", "a\"b"},
        {"a\\\"b c\\", "a\\\\\"b c\\\\"},
        {"C:\\dir\\", "C:\\\\dir\\\\"},
        {"tab\there", "tab\\there"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const ChildOutcome run = ChildProcess::Run(SiblingProgram("velqo-cli"), {c.word});
        EXPECT_TRUE(run.started) << run.output;
        EXPECT_EQ(run.status, 2) << c.word;
        EXPECT_NE(run.output.find(std::string("unknown command '") + c.shown + "'"),
                  std::string::npos)
            << run.output;
    }
    const ChildOutcome missing = ChildProcess::Run("velqo-no-such-program", {});
    EXPECT_FALSE(missing.started);
    EXPECT_TRUE(missing.notFound) << missing.output;
}
