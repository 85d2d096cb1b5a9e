#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "box/NetApi.h"
#include "cli/CliClient.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
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

// Whether --json was asked for, even on a command line that does not parse:
// then the usage error too is a document.
bool JsonAsked(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") {
            break;
        }
        if (a == "--json") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    const bool parsed = ParseCliOptions(args, &options, &error) &&
                        TakeEnvironmentPassword(std::getenv("VELQO_PASSWORD"), &options, &error);
    if (parsed && options.help) {
        std::fputs(CliUsage(), stdout);
        return CliClient::kExitOk;
    }
    CliOutput output(stdout, stderr, options.command, parsed ? options.json : JsonAsked(args));
    if (!parsed) {
        output.Error(CliClient::kExitUsage, "%s", error.c_str());
        if (!output.IsJson()) {
            std::fprintf(stderr, "\n%s", CliUsage());
        }
        return output.Finish(CliClient::kExitUsage);
    }
    if (net::Startup() != 0) {
        return output.Finish(
            output.Error(CliClient::kExitNoLogin, "the socket library did not start"));
    }
    TerminalLog log(stderr, VELQO_ISATTY(VELQO_FILENO(stderr)) != 0);
    CliClient client(options, output);
    return output.Finish(client.Run());
}
