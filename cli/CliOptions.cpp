#include "cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

#include "box/BoxDefaults.h"

namespace {

bool ParsePort(const std::string& text, int* port) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < 1 || v > 65535) {
        return false;
    }
    *port = static_cast<int>(v);
    return true;
}

bool ParseCount(const std::string& text, int* count) {
    constexpr size_t kMaxDigits = 6;
    if (text.empty() || text.size() > kMaxDigits ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *count = std::atoi(text.c_str());
    return *count >= 1;
}

bool ValidPassword(const std::string& text) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The command's own options and its names; "--" ends the options.
bool ParseCommandArguments(const std::vector<std::string>& args, size_t i, CliOptions* options,
                           std::string* error) {
    using Command = CliOptions::Command;
    const Command c = options->command;
    bool namesOnly = false;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (namesOnly || a.empty() || a[0] != '-') {
            options->names.push_back(a);
        } else if (a == "--") {
            namesOnly = true;
        } else if (a == "--verify" && (c == Command::kPut || c == Command::kRestore)) {
            options->verify = true;
        } else if (a == "--dry-run" && c == Command::kRestore) {
            options->dryRun = true;
        } else if (a == "--changed-only" && c == Command::kRestore) {
            options->changedOnly = true;
        } else if (a == "--keep" && c == Command::kBackup) {
            if (i + 1 >= args.size() || !ParseCount(args[i + 1], &options->keep)) {
                *error = "--keep needs a number of backups, 1 or more";
                return false;
            }
            ++i;
        } else if (a == "--into" && c == Command::kBackup) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                *error = "--into needs a folder";
                return false;
            }
            options->into = args[++i];
        } else {
            *error = "unknown option '" + a + "' for this command";
            return false;
        }
    }
    return true;
}

bool CheckBackupArguments(CliOptions* options, std::string* error) {
    if (options->command == CliOptions::Command::kBackup) {
        if (!options->names.empty()) {
            *error = "backup takes no names";
            return false;
        }
        return true;
    }
    if (options->names.empty()) {
        *error = std::string(CommandName(options->command)) + " needs the backup folder";
        return false;
    }
    options->backupFolder = options->names.front();
    options->names.erase(options->names.begin());
    return true;
}

std::string MakeUsage() {
    return std::string(
               "Usage: velqo-cli [OPTIONS] list\n"
               "  or:  velqo-cli [OPTIONS] get NAME...\n"
               "  or:  velqo-cli [OPTIONS] put [--verify] NAME...\n"
               "  or:  velqo-cli [OPTIONS] backup [--into FOLDER] [--keep N]\n"
               "  or:  velqo-cli [OPTIONS] restore [--dry-run] [--verify] [--changed-only]\n"
               "                           BACKUP [NAME...]\n"
               "  or:  velqo-cli [OPTIONS] compare BACKUP [NAME...]\n"
               "\n"
               "Logs in to the box, always fetches its file list, runs the command, logs out.\n"
               "\n"
               "Commands:\n"
               "  list              print one line per file on the box:\n"
               "                    GROUP<TAB>NAME<TAB>TYPE\n"
               "  get NAME...       download each named box file into DIR (an existing file\n"
               "                    of that name is replaced only once the download is\n"
               "                    complete)\n"
               "  put NAME...       upload each named file from DIR to the box\n"
               "  backup            download every file on the box, in one session, into a\n"
               "                    new folder FOLDER/HOST-YYYYMMDD-HHMMSS (FOLDER: --into,\n"
               "                    else DIR) with manifest.txt (velqo-boxsim --folder serves\n"
               "                    it as a box) and SHA256SUMS (sha256sum -c checks it);\n"
               "                    when files are missing, the file INCOMPLETE names them;\n"
               "                    prints the folder\n"
               "  restore BACKUP    check every file of the backup folder BACKUP against its\n"
               "                    SHA256SUMS (a damaged backup is refused before anything\n"
               "                    is sent), then upload its files, or only the NAMEs given\n"
               "                    after BACKUP, in manifest order; files the box no longer\n"
               "                    lists are reported and skipped\n"
               "  compare BACKUP    check the backup folder BACKUP as restore does, read each\n"
               "                    of its files (or the NAMEs) back from the box into a\n"
               "                    SHA-256 and print one line per file: same NAME,\n"
               "                    differs NAME, missing-on-box NAME (in the backup, not\n"
               "                    listed by the box), only-on-box NAME (listed by the\n"
               "                    box, not in the backup) or failed NAME\n"
               "\n"
               "Names must be on the box's file list; after a refused or failed name the\n"
               "others are still tried. put skips, with a message, a name that is a\n"
               "directory or another file that is not a regular file.\n"
               "\n"
               "Command options:\n"
               "  --verify          put, restore: read each uploaded file back from the box\n"
               "                    and compare it byte for byte with the local file\n"
               "  --dry-run         restore: print what would be sent, send nothing\n"
               "  --changed-only    restore: compare first and send only the files that\n"
               "                    differ on the box; a second run sends nothing\n"
               "  --into FOLDER     backup: make the backup folder inside FOLDER\n"
               "  --keep N          backup: once the backup is complete, remove the oldest\n"
               "                    complete backups of the same host in the same folder so\n"
               "                    that N remain (incomplete ones are neither counted nor\n"
               "                    removed)\n"
               "  --                the arguments after it are names, even if they start\n"
               "                    with '-'\n"
               "\n"
               "Options:\n"
               "  --host ADDR       the box's address (dotted IPv4 or host name)\n"
               "  --port N          the box's TCP port, 1..65535\n"
               "  --password PIN    the box's password, up to 4 digits; without it the\n"
               "                    environment's VELQO_PASSWORD gives it, which ps does\n"
               "                    not show\n"
               "  -C DIR            working directory (default: the current directory):\n"
               "                    files are downloaded into it and uploaded from it\n"
               "  --json            print one JSON document on stdout when the command ends\n"
               "                    (\"command\", \"ok\", \"exit\", the files with their\n"
               "                    results, \"error\" when it ended early); log lines stay\n"
               "                    on stderr\n"
               "  -h, --help        show this help\n"
               "\n"
               "What the options and VELQO_PASSWORD do not give comes from\n"
               "DIR/config/config.ini (lines BOXIP=..., PORT=..., PASSWORD=...; the settings\n"
               "file is never written), else port ") +
           std::to_string(box_defaults::kPort) + " and password " + box_defaults::kPassword +
           ". There is no built-in address: without --host\n"
           "and without a BOXIP line nothing is sent (the box's factory address is\n" +
           box_defaults::kAddress +
           "). A value in the file that cannot be used as written (an\n"
           "address that is not dotted IPv4, a port outside 1..65535, a password that is\n"
           "not 1 to 4 digits) is a usage error naming the file and the line.\n"
           "\n"
           "Connecting follows the window's Login button: up to three connects of at\n"
           "most 20 s each and two login attempts; every protocol step waits at most 5 s.\n"
           "\n"
           "Output: the list on stdout; the session's log lines (\"PC > ...\") on stderr,\n"
           "with a progress bar when stderr is a terminal (redrawn at most ten times a\n"
           "second).\n"
           "\n"
           "Exit status:\n"
           "  0  all done\n"
           "  1  the box refused something, a transfer or a verification failed, a\n"
           "     backup is incomplete or damaged, a named file was not restored, or\n"
           "     compare found a file that is not the same\n"
           "  2  usage error\n"
           "  3  could not resolve the host, connect or log in\n";
}

}  // namespace

bool TakeEnvironmentPassword(const char* value, CliOptions* options, std::string* error) {
    // An empty variable is as good as none.
    if (options->hasPassword || value == nullptr || *value == '\0') {
        return true;
    }
    if (!ValidPassword(value)) {
        *error = "VELQO_PASSWORD needs 1 to 4 digits";
        return false;
    }
    options->password = value;
    options->hasPassword = true;
    return true;
}

const char* CommandName(CliOptions::Command command) {
    using Command = CliOptions::Command;
    switch (command) {
        case Command::kList:
            return "list";
        case Command::kGet:
            return "get";
        case Command::kPut:
            return "put";
        case Command::kBackup:
            return "backup";
        case Command::kRestore:
            return "restore";
        case Command::kCompare:
            return "compare";
        case Command::kNone:
            break;
    }
    return nullptr;
}

const char* CliUsage() {
    static const std::string usage = MakeUsage();
    return usage.c_str();
}

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options,
                     std::string* error) {
    size_t i = 0;
    auto value = [&](const std::string& flag, std::string* out) {
        if (i + 1 >= args.size()) {
            *error = "option " + flag + " needs a value";
            return false;
        }
        *out = args[++i];
        return true;
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            options->help = true;
            return true;
        }
        if (a == "--host") {
            if (!value(a, &options->host)) {
                return false;
            }
            if (options->host.empty()) {
                *error = "--host needs a non-empty address";
                return false;
            }
        } else if (a == "--port") {
            std::string text;
            if (!value(a, &text)) {
                return false;
            }
            if (!ParsePort(text, &options->port)) {
                *error = "--port needs a number from 1 to 65535, not '" + text + "'";
                return false;
            }
        } else if (a == "--password") {
            if (!value(a, &options->password)) {
                return false;
            }
            if (!ValidPassword(options->password)) {
                *error = "--password needs 1 to 4 digits";
                return false;
            }
            options->hasPassword = true;
        } else if (a == "--json") {
            options->json = true;
        } else if (a == "-C") {
            if (!value(a, &options->directory)) {
                return false;
            }
        } else if (!a.empty() && a[0] == '-') {
            *error = "unknown option '" + a + "'";
            return false;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        *error = "no command given (list, get, put, backup, restore or compare)";
        return false;
    }
    const std::string& command = args[i++];
    if (command == "list") {
        options->command = CliOptions::Command::kList;
    } else if (command == "get") {
        options->command = CliOptions::Command::kGet;
    } else if (command == "put") {
        options->command = CliOptions::Command::kPut;
    } else if (command == "backup") {
        options->command = CliOptions::Command::kBackup;
    } else if (command == "restore") {
        options->command = CliOptions::Command::kRestore;
    } else if (command == "compare") {
        options->command = CliOptions::Command::kCompare;
    } else {
        *error = "unknown command '" + command + "'";
        return false;
    }
    if (!ParseCommandArguments(args, i, options, error)) {
        return false;
    }
    if (options->command == CliOptions::Command::kBackup ||
        options->command == CliOptions::Command::kRestore ||
        options->command == CliOptions::Command::kCompare) {
        return CheckBackupArguments(options, error);
    }
    if (options->command == CliOptions::Command::kList && !options->names.empty()) {
        *error = "list takes no names";
        return false;
    }
    if (options->command != CliOptions::Command::kList && options->names.empty()) {
        *error = command + " needs at least one file name";
        return false;
    }
    return true;
}
