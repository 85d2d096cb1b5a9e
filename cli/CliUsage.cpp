#include "cli/CliUsage.h"

#include <string>

#include "backup/BackupStore.h"
#include "base/Version.h"
#include "box/BoxDefaults.h"
#include "cli/CliOptions.h"

namespace {

std::string MakeUsage() {
    return std::string(
               "Usage: velqo-cli [OPTION]... list\n"
               "  or:  velqo-cli [OPTION]... get NAME...\n"
               "  or:  velqo-cli [OPTION]... put [--verify] NAME...\n"
               "  or:  velqo-cli [OPTION]... backup [--into STORE] [--box-name NAME] [--keep N]\n"
               "  or:  velqo-cli [OPTION]... backups [--into STORE] [--box-name NAME] [--all]\n"
               "  or:  velqo-cli [OPTION]... restore [--dry-run] [--verify] [--changed-only] "
               "BACKUP|latest [NAME...]\n"
               "  or:  velqo-cli [OPTION]... compare BACKUP|latest [NAME...]\n"
               "  or:  velqo-cli help [COMMAND]\n"
               "\n"
               "Logs in to the box, always fetches its file list, runs the command, logs out.\n"
               "\n"
               "Commands:\n"
               "  list              print one line per file on the box:\n"
               "                    GROUP<TAB>NAME<TAB>TYPE; control characters in a group\n"
               "                    or name are shown escaped (\\t, \\n, \\r, \\xHH) and a\n"
               "                    backslash as \\\\\n"
               "  get NAME...       download each named box file into DIR (an existing file\n"
               "                    of that name is replaced only once the download is\n"
               "                    complete)\n"
               "  put NAME...       upload each named file from DIR to the box\n"
               "  backup            download every file on the box, in one session, into a\n"
               "                    new folder of the backup store (see below) with\n"
               "                    manifest.txt (velqo-boxsim --folder serves it as a box)\n"
               "                    and SHA256SUMS (sha256sum -c checks it); when files are\n"
               "                    missing, the file INCOMPLETE names them; prints the folder\n"
               "  backups           list the box's backups in the store, newest first:\n"
               "                    TAKEN<TAB>HOST:PORT<TAB>FILES<TAB>STATE<TAB>FOLDER, STATE\n"
               "                    complete or why not (incomplete, no manifest, damaged\n"
               "                    manifest, damaged checksums); nothing of the box is read\n"
               "  restore BACKUP    check every file of the backup folder BACKUP (latest: the\n"
               "                    box's newest complete backup in the store) against its\n"
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
               "  --into STORE      backup, backups, latest: the backup store's folder\n"
               "                    (default: DIR/backup); made when missing, as mkdir\n"
               "                    makes it: its parent folder must be there\n"
               "  --box-name NAME   backup, backups, latest: the box's name in the store in\n"
               "                    place of its address\n"
               "  --all             backups: the backups of every box in the store\n"
               "  --keep N          backup: once the backup is complete, remove the oldest\n"
               "                    complete backups of the same box in the store so that N\n"
               "                    remain (1 to " +
               std::to_string(CliOptions::kMaxKeep) +
               "); incomplete ones, newer ones and other\n"
               "                    boxes' are never removed, nor anything a backup did not\n"
               "                    make\n"
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
               "  -q, --quiet       no log lines and no progress: only results and errors\n"
               "  -v, --verbose     more: where the address, port and password came from,\n"
               "                    and a line per file done\n"
               "  --json            print one JSON document on stdout when the command ends\n"
               "                    (\"command\", \"ok\", \"exit\", the files with their\n"
               "                    results, \"error\" when it ended early); log lines stay\n"
               "                    on stderr\n"
               "  -h, --help        show this help (also /? as the command)\n"
               "  -V, --version     show the version\n"
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
           "not 1 to 4 digits) is a usage error naming the file and the line. The file\n"
           "is not read when the options give all three values; otherwise a file that\n"
           "is there but is no settings file (a folder, a FIFO or device, not readable,\n"
           "over 64 KiB) is a usage error naming it.\n"
           "\n"
           "The backup store holds one folder per backup: HOST-YYYYMMDD-HHMMSS for a box\n"
           "on port 1000, HOST+PORT-YYYYMMDD-HHMMSS on another port, -2, -3... added for\n"
           "a second backup within a second. HOST is the address or --box-name, with\n"
           "anything but letters, digits, '.', '-' and '_' made '_'. A backup is complete\n"
           "when it is a folder (not a link) without INCOMPLETE whose SHA256SUMS lists\n"
           "exactly its manifest's files and the manifest. Making a folder and --keep\n"
           "take the lock STORE/" +
           BackupStore::kLockName +
           " (released by the system when the run\n"
           "ends, however it ends), waiting for it at most " +
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
           "the program with 128 + the signal's number.\n"
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

const char* CliUsage() {
    static const std::string usage = MakeUsage();
    return usage.c_str();
}

std::string CliVersionText() {
    return std::string("velqo-cli ") + version::kText + "\n" + version::kCopyright + "\n";
}
