#pragma once
// The command line of velqo-cli, read as GNU tools read theirs: options
// before or after the command, --opt=VALUE and -CDIR forms, short flags
// grouped (-qv), "--" before names that start with '-'.
#include <string>
#include <vector>

#include "update/FirmwareUpdate.h"

struct CliOptions {
    enum class Command {
        kNone,
        kList,
        kGet,
        kPut,
        kBackup,
        kRestore,
        kCompare,
        kBackups,
        kDiff,
        kHistory,
        kUpdate,
        kBoxes,
        kFind,
    };
    // How much goes to stderr besides results and errors.
    static constexpr int kQuiet = 0;
    static constexpr int kNormal = 1;
    static constexpr int kVerbose = 2;

    Command command = Command::kNone;
    std::vector<std::string> names;
    std::string directory;  // empty: the current directory
    std::string config;     // the settings file; empty: DIR/config/config.ini
    std::string host;       // empty: from the settings file, which must then give one
    int port = -1;          // negative: likewise
    std::string password;   // empty: likewise
    bool hasPassword = false;
    bool passwordFromEnvironment = false;
    bool help = false;
    bool version = false;
    bool json = false;  // one JSON document on stdout when the command ends
    int verbosity = kNormal;
    std::string into;     // the backup store's folder; empty: DIR/backup
    std::string boxName;  // the box's name in the store; empty: its address
    bool all = false;     // backups: of every box, not only this one
    int keep = 0;         // backup: complete backups of the box left; 0: all
    static constexpr int kMaxKeep = 999999;
    std::string backupFolder;  // restore, compare: the backup folder; diff: the older side
    std::string newerSide;     // diff: the newer side
    bool noBackup = false;     // get: a replaced file of other bytes is not kept as NAME~
    bool dryRun = false;       // restore: say what would be sent, send nothing
    bool changedOnly = false;  // restore: compare first, send only what differs
    bool verify = false;       // put, restore: read each upload back and compare
    bool namesOnly = false;    // diff: the files' states without the diffs
    bool report = false;       // backup: what changed since the previous complete backup
    std::string git;           // backup: the git repository the backup is committed to
    std::vector<std::string> gitExclude;  // backup --git: groups left out of the repository
    std::vector<std::string> keepGroups;  // update: groups whose changed files are put back
    int waitSeconds = UpdateRequest::kDefaultWaitSeconds;  // update: for the box to come back
    static constexpr int kMaxWaitSeconds = 86400;
    bool noBackupAfter = false;  // update: no second backup
    int timeoutMs = 0;           // find: per address; 0: the search's default
    int parallel = 0;            // find: connections at once; 0: the default
    bool login = false;          // find: log in to tell boxes from the rest
    bool wide = false;           // find: many or public addresses, on purpose
    bool inventory = false;      // find: an Ansible inventory of the boxes found
    bool writeSettings = false;  // find: the one box found into the settings file
};

// Parses the arguments after the program name; on a usage error returns
// false with a one-line message naming the mistake. --help and --version
// anywhere before "--" win over any mistake.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// Takes the password from the environment's VELQO_PASSWORD (`value`, null
// when not set) unless the command line gave one; false on a usage error.
bool TakeEnvironmentPassword(const char* value, CliOptions* options, std::string* error);

// The command's word ("list", "restore"...), or null for none.
const char* CommandName(CliOptions::Command command);

// Whether the option --`longName` may be given to `command`.
bool OptionAppliesTo(const char* longName, CliOptions::Command command);
