#include <cstdio>
#include <string>
#include <vector>

#include "base/SignalCleanup.h"
#include "box/NetApi.h"
#include "cli/CliClient.h"
#include "cli/CliOptions.h"
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

int main(int argc, char** argv) {
    ReserveStandardStreams();
    SignalCleanup::IgnoreBrokenPipe();
    const std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, &options, &error)) {
        std::fprintf(stderr, "velqo-cli: %s\n\n%s", error.c_str(), CliUsage());
        return FinishOutput(CliClient::kExitUsage);
    }
    if (options.help) {
        std::fputs(CliUsage(), stdout);
        return FinishOutput(CliClient::kExitOk);
    }
    // From here on files are made; a signal removes the temporary ones.
    SignalCleanup::Install();
    if (net::Startup() != 0) {
        std::fprintf(stderr, "velqo-cli: the socket library did not start\n");
        return FinishOutput(CliClient::kExitNoLogin);
    }
    int status = CliClient::kExitOk;
    {
        TerminalLog log(stderr, VELQO_ISATTY(VELQO_FILENO(stderr)) != 0);
        CliClient client(options, stdout, stderr);
        status = client.Run();
    }
    return FinishOutput(status);
}
