#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/SignalCleanup.h"
#include "base/Version.h"
#include "box/NetApi.h"
#include "cli/CliClient.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliUsage.h"
#include "cli/StandardStreams.h"
#include "cli/TerminalLog.h"

#ifdef _WIN32
#include <io.h>
#define VELQO_ISATTY(fd) _isatty(fd)
#define VELQO_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define VELQO_ISATTY(fd) isatty(fd)
#define VELQO_FILENO(f) fileno(f)
#endif

namespace {

// After the one line that names a usage mistake.
constexpr const char* kTryHelp = "Try 'velqo-cli --help'.\n";

}  // namespace

int main(int argc, char** argv) {
    ReserveStandardStreams();
    SignalCleanup::IgnoreBrokenPipe();
    const std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    const bool parsed = ParseCliOptions(args, &options, &error) &&
                        TakeEnvironmentPassword(std::getenv("VELQO_PASSWORD"), &options, &error);
    if (parsed && (options.help || options.version)) {
        if (!options.json) {
            std::fputs(
                options.help ? CliCommandUsage(options.command).c_str() : CliVersionText().c_str(),
                stdout);
            return FinishOutput(CliClient::kExitOk);
        }
        // A document of its own kind: no command ran.
        CliOutput output(stdout, stderr, CliOptions::Command::kNone, true);
        if (options.help) {
            output.Value("help", CliCommandUsage(options.command));
            const char* asked = CommandName(options.command);
            output.Value("help_command", asked != nullptr ? nlohmann::ordered_json(asked)
                                                          : nlohmann::ordered_json(nullptr));
        } else {
            output.Value("version", version::kText);
            output.Value("copyright", version::kCopyright);
        }
        return FinishOutput(output.Finish(CliClient::kExitOk));
    }
    CliOutput output(stdout, stderr, options.command, options.json, options.verbosity);
    if (!parsed) {
        output.Error(CliClient::kExitUsage, "%s", error.c_str());
        std::fputs(kTryHelp, stderr);
        return FinishOutput(output.Finish(CliClient::kExitUsage));
    }
    // From here on files are made; a signal removes the temporary ones.
    SignalCleanup::Install();
    if (net::Startup() != 0) {
        return FinishOutput(output.Finish(
            output.Error(CliClient::kExitNoLogin, "the socket library did not start")));
    }
    const bool quiet = options.verbosity == CliOptions::kQuiet;
    int status = CliClient::kExitOk;
    {
        TerminalLog log(stderr, !quiet && VELQO_ISATTY(VELQO_FILENO(stderr)) != 0, !quiet);
        CliClient client(options, output);
        status = client.Run();
    }
    if (status == CliClient::kExitUsage) {
        std::fputs(kTryHelp, stderr);
    }
    return FinishOutput(output.Finish(status));
}
