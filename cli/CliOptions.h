#pragma once
// The command line of velqo-cli.
#include <string>
#include <vector>

struct CliOptions {
    enum class Command { kNone, kList, kGet, kPut, kBackup, kRestore };

    Command command = Command::kNone;
    std::vector<std::string> names;
    std::string directory;  // empty: the current directory
    std::string host;       // empty: from the settings file, which must then give one
    int port = -1;          // negative: likewise
    std::string password;   // empty: likewise
    bool hasPassword = false;
    bool help = false;
    std::string into;          // backup: where the backup folder is made; empty: DIR
    std::string backupFolder;  // restore: the backup folder
    bool dryRun = false;       // restore: say what would be sent, send nothing
    bool verify = false;       // put, restore: read each upload back and compare
};

// Parses the arguments after the program name; on a usage error returns
// false with a message for the user.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error);

const char* CliUsage();
