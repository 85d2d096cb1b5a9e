#pragma once
// Runs one velqo-cli command against the box: log in, list, the command,
// log out. Returns the process exit status.
#include <cstdio>

#include "cli/CliOptions.h"

class BoxSession;
class BoxSocket;
class FileCatalog;

class CliClient {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitNoLogin = 3;

    CliClient(const CliOptions& options, FILE* out, FILE* err);
    int Run();

private:
    int RunCommand(BoxSession& session, const FileCatalog& catalog);
    void PrintList(const FileCatalog& catalog);
    // False when the link is gone and no further command can run.
    bool Transfer(BoxSession& session, const FileCatalog& catalog, const std::string& name,
                  bool* failed);

    const CliOptions& options_;
    FILE* out_;  // not owned
    FILE* err_;  // not owned
};
