#include "cli/CliUsage.h"

#include <string>

#include "base/Version.h"
#include "box/BoxDefaults.h"

namespace {

std::string MakeUsage() {
    return std::string(
               "Usage: velqo-cli [OPTION]... list\n"
               "  or:  velqo-cli [OPTION]... get NAME...\n"
               "  or:  velqo-cli [OPTION]... put [--verify] NAME...\n"
               "  or:  velqo-cli [OPTION]... backup [--into FOLDER] [--keep N]\n"
               "  or:  velqo-cli [OPTION]... restore [--dry-run] [--verify] [--changed-only] "
               "BACKUP [NAME...]\n"
               "  or:  velqo-cli [OPTION]... compare BACKUP [NAME...]\n"
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
               "Options (before or after the command; --opt=VALUE and -CDIR work too):\n"
               "  -H, --host ADDR   the box's address (dotted IPv4 or host name)\n"
               "  -p, --port N      the box's TCP port, 1..65535\n"
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
