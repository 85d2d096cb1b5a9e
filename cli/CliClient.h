#pragma once
// Runs one velqo-cli command the same way for every command: the row of
// CliCommandTable says how far it reaches; CliClient chooses the target,
// connects, logs in and lists as far as that, then runs the command's class
// and logs out. Returns the process exit status.
#include <string>

#include "box/BoxLogin.h"
#include "cli/CliContext.h"
#include "cli/CliOptions.h"

class BoxSession;
class BoxSocket;
class CliCommand;
class CliOutput;

class CliClient {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitNoLogin = 3;

    CliClient(const CliOptions& options, CliOutput& output);
    int Run();

private:
    struct Target {
        std::string host;
        int port = 0;
        std::string password;
        std::string passwordFrom;  // " (from VELQO_PASSWORD)"...
    };

    // DIR as an absolute path into the context; the exit status.
    int ChooseDirectory();
    // The box's address, port and password from the options, else from the
    // settings file. A usage error's exit status after its message: a value
    // from the file that cannot be used as written, or no address at all.
    int ChooseTarget(Target* target);
    // Connects, logs in, lists and runs `command`, then logs out.
    int RunOnBox(CliCommand& command, const Target& target);
    // Says why there is no session, connect or login; the exit status.
    int NotLoggedIn(LoginOutcome login, const BoxSocket& socket, const BoxSession& session,
                    const Target& target);

    const CliOptions& options_;
    CliOutput& output_;
    CliContext context_;
};
