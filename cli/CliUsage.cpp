#include "cli/CliUsage.h"

#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "base/Version.h"
#include "box/BoxDefaults.h"
#include "cli/CliCommandTable.h"
#include "cli/CliOptions.h"
#include "discovery/FindSettings.h"
#include "discovery/SearchRanges.h"

namespace {

// The options of one or more commands, as --help and help COMMAND show them.
struct OptionHelp {
    const char* longName;
    std::string text;
};

std::vector<OptionHelp> CommandOptions() {
    return {
        {"verify",
         "  --verify          put, restore: read each uploaded file back from the box\n"
         "                    and compare it byte for byte with the local file\n"},
        {"no-backup", "  --no-backup       get: keep no NAME~ of a replaced file\n"},
        {"dry-run",
         "  --dry-run         restore: print what would be sent, send nothing; update:\n"
         "                    check and back up, send nothing\n"},
        {"changed-only",
         "  --changed-only    restore: compare first and send only the files that\n"
         "                    differ on the box; a second run sends nothing\n"},
        {"into",
         "  --into STORE      backup, backups, latest, diff, history, update, boxes,\n"
         "                    find: the backup store's folder (default: DIR/backup);\n"
         "                    made when missing, as mkdir makes it: its parent must\n"
         "                    be there\n"},
        {"box-name",
         "  --box-name NAME   backup, backups, latest, diff, history, update: the box's\n"
         "                    name in the store in place of its address\n"},
        {"all", "  --all             backups: the backups of every box in the store\n"},
        {"keep",
         "  --keep N          backup: once the backup is complete, remove the oldest\n"
         "                    complete backups of the same box in the store so that N\n"
         "                    remain (1 to " +
             std::to_string(CliOptions::kMaxKeep) +
             "); incomplete ones, newer ones and other\n"
             "                    boxes' are never removed, nor anything a backup did not\n"
             "                    make\n"},
        {"report",
         "  --report          backup: once complete, a line per file that changed\n"
         "                    since the box's previous complete backup (stderr; in\n"
         "                    --json \"changes\")\n"},
        {"git",
         "  --git REPO        backup: once complete, commit its files into the git\n"
         "                    repository REPO (made if missing), folder HOST[+PORT],\n"
         "                    on HEAD's branch; REPO's working tree and index are\n"
         "                    never touched; no commit when unchanged\n"},
        {"git-exclude",
         "  --git-exclude GROUP  backup --git: leave the group's files out (again for\n"
         "                    more groups)\n"},
        {"names-only", "  --names-only      diff: the lines per file without the diffs\n"},
        {"keep-group",
         "  --keep-group GROUP  update: put back the files of the box's group GROUP that\n"
         "                    the update changed (again for more groups)\n"},
        {"wait",
         "  --wait SECONDS    update: the longest wait for the box to come back after\n"
         "                    the update (default: " +
             std::to_string(UpdateRequest::kDefaultWaitSeconds) + "); it is tried every " +
             std::to_string(UpdateRequest::kRetryMs / 1000) + " s\n"},
        {"no-backup-after", "  --no-backup-after update: no second backup after the update\n"},
        {"timeout",
         "  --timeout MS      find: the longest wait for each connection and reply\n"
         "                    (default: " +
             std::to_string(FindSettings::kDefaultTimeoutMs) + ")\n"},
        {"parallel", "  --parallel N      find: connections open at once, 1 to " +
                         std::to_string(FindSettings::kMostParallel) +
                         " (default: " + std::to_string(FindSettings::kDefaultParallel) + ")\n"},
        {"login",
         "  --login           find: log in with the password (--password,\n"
         "                    VELQO_PASSWORD or the settings file; never another), list\n"
         "                    and log out, once per address, to tell boxes from the rest\n"},
        {"wide", "  --wide            find: search more than " +
                     std::to_string(SearchRanges::kMostUnasked) +
                     " addresses, or ones outside\n"
                     "                    the private ranges and loopback, on purpose\n"},
        {"inventory",
         "  --inventory       find: print an Ansible YAML inventory of the boxes found\n"
         "                    (group boxes, ansible_host set) instead of the lines\n"},
        {"write-settings",
         "  --write-settings  find: put the one box found into the settings file as\n"
         "                    BOXIP (and PORT), keeping its other lines\n"},
    };
}

std::string MakeUsage() {
    std::string usage;
    for (const CliCommandRow& row : CliCommandRows()) {
        usage += std::string(usage.empty() ? "Usage: " : "  or:  ") + "velqo-cli [OPTION]... " +
                 row.usage + "\n";
    }
    usage +=
        "  or:  velqo-cli help [COMMAND]\n"
        "\n"
        "Logs in to the box, always fetches its file list, runs the command, logs out.\n"
        "\n"
        "Commands:\n";
    for (const CliCommandRow& row : CliCommandRows()) {
        usage += row.description;
    }
    usage +=
        "\n"
        "Names must be on the box's file list; after a refused or failed name the\n"
        "others are still tried. put skips, with a message, a name that is a\n"
        "directory or another file that is not a regular file.\n"
        "\n"
        "Command options:\n";
    for (const OptionHelp& option : CommandOptions()) {
        usage += option.text;
    }
    return usage +
           std::string(
               "  --                the arguments after it are names, even if they start\n"
               "                    with '-'\n"
               "\n"
               "Options (before or after the command; --opt=VALUE and -CDIR work too):\n"
               "  -H, --host ADDR   the box's address: dotted IPv4 as four decimal numbers\n"
               "                    0..255 without leading zeros, or a host name; other\n"
               "                    numeric forms (127.1, 0x7f.0.0.1, 010) are refused\n"
               "  -p, --port N      the box's TCP port, 1..65535 in decimal digits\n"
               "      --password PIN  the box's password, up to 4 digits; without it the\n"
               "                    environment's VELQO_PASSWORD gives it, which ps does\n"
               "                    not show\n"
               "  -C, --directory DIR  working directory (default: the current directory):\n"
               "                    files are downloaded into it and uploaded from it\n"
               "      --config FILE  the settings file (default: DIR/config/config.ini);\n"
               "                    unlike the default, it must be there\n"
               "  -q, --quiet       no log lines and no progress: only results and errors\n"
               "  -v, --verbose     more: where the address, port and password came from,\n"
               "                    and a line per file done\n"
               "  --json            print one JSON document on stdout when the command ends\n"
               "                    (\"format\", \"command\", \"ok\", \"exit\", \"error\",\n"
               "                    \"files\" and the command's own keys); log lines stay on\n"
               "                    stderr. The JSON Schema velqo-cli.schema.json describes\n"
               "                    it: /usr/share/doc/velqo-tools/docs/json/ (Debian),\n"
               "                    json\\ beside velqo-cli.exe (Windows)\n"
               "  -h, --help        show this help (also /? as the command)\n"
               "  -V, --version     show the version\n"
               "\n"
               "What the options and VELQO_PASSWORD do not give comes from\n"
               "the settings file (lines BOXIP=..., PORT=..., PASSWORD=...; only find\n"
               "--write-settings writes it), else port ") +
           std::to_string(box_defaults::kPort) + " and password " + box_defaults::kPassword +
           ". There is no built-in address: without --host\n"
           "and without a BOXIP line nothing is sent (the box's factory address is\n" +
           box_defaults::kAddress +
           "). A value in the file that cannot be used as written (an\n"
           "address that is not dotted IPv4, a port outside 1..65535, a password that is\n"
           "not 1 to 4 digits) is a usage error naming the file and the line. The file\n"
           "is not read when the options give all three values; otherwise a file that\n"
           "is there but is no settings file (a folder, a FIFO or device, not readable,\n"
           "over 64 KiB) is a usage error naming it.\n"
           "\n"
           "The backup store holds one folder per backup: HOST-YYYYMMDD-HHMMSS for a box\n"
           "on port 1000, HOST+PORT-YYYYMMDD-HHMMSS on another port, -2, -3... added for\n"
           "a second backup within a second. HOST is the address or --box-name, with\n"
           "ASCII letters, digits, '-', '_' and '.' (not first) as they are and every\n"
           "other byte as %HH, so that two names never share it (Büro is B%C3%BCro).\n"
           "A backup is complete when it is a folder (not a link) without INCOMPLETE\n"
           "whose SHA256SUMS lists exactly its manifest's files and the manifest.\n"
           "Making a folder and --keep take the lock STORE/" +
           BackupStore::kLockName +
           "\n(released by the system when the run ends, however it ends), waiting for\n"
           "it at most " +
           std::to_string(BackupStore::kLockWaitSeconds) +
           " s.\n"
           "\n"
           "Connecting follows the window's Login button: up to three connects of at\n"
           "most 20 s each and two login attempts; every protocol step waits at most 5 s.\n"
           "\n"
           "Output: the results on stdout; the session's log lines (\"PC > ...\") on\n"
           "stderr, with a progress line when stderr is a terminal: the file, \"file 3\n"
           "of 7\" in backup, restore and compare, bytes done of the total, speed and\n"
           "time left (redrawn only when it changes, at most ten times a second).\n"
           "Control characters from the box or from names are shown escaped there too.\n"
           "SIGINT, SIGTERM and SIGHUP remove the temporary files of a transfer and end\n"
           "the program with 128 + the signal's number; an interrupted backup, put or\n"
           "restore says on its last line what was done, the file that may be half-sent\n"
           "on the box and what to run next.\n"
           "\n"
           "Exit status:\n"
           "  0  all done\n"
           "  1  the box refused something, a transfer or a verification failed, a\n"
           "     backup is incomplete or damaged, a named file was not restored,\n"
           "     compare or diff found a file that is not the same, --git failed, or\n"
           "     nothing answered find\n"
           "  2  usage error\n"
           "  3  could not resolve the host, connect or log in\n";
}

}  // namespace

const char* CliUsage() {
    static const std::string usage = MakeUsage();
    return usage.c_str();
}

std::string CliVersionText() {
    return std::string("velqo-cli ") + version::kText + "\n" + version::kCopyright + "\n";
}

std::string CliCommandUsage(CliOptions::Command command) {
    const CliCommandRow* row = FindCommandRow(command);
    if (row == nullptr) {
        return CliUsage();
    }
    std::string usage =
        std::string("Usage: velqo-cli [OPTION]... ") + row->usage + "\n\n" + row->description;
    std::string options;
    for (const OptionHelp& option : CommandOptions()) {
        if (OptionAppliesTo(option.longName, command)) {
            options += option.text;
        }
    }
    if (!options.empty()) {
        usage += "\nCommand options:\n" + options;
    }
    return usage + "\nExample:\n  " + row->example +
           "\n\n"
           "The options of every command (--host, --port, --password, --directory,\n"
           "--config, --quiet, --verbose, --json), the settings file and the exit\n"
           "status: velqo-cli --help\n";
}
