#include "cli/CliCommandTable.h"

#include "cli/CliBackup.h"
#include "cli/CliBackups.h"
#include "cli/CliBoxes.h"
#include "cli/CliCompare.h"
#include "cli/CliContext.h"
#include "cli/CliDiff.h"
#include "cli/CliFind.h"
#include "cli/CliHistory.h"
#include "cli/CliList.h"
#include "cli/CliRestore.h"
#include "cli/CliTransfer.h"
#include "cli/CliUpdate.h"
#include "history/BackupRef.h"

namespace {

using Command = CliOptions::Command;

bool NoNames(const char* word, CliOptions* options, std::string* error) {
    *error = std::string(word) + " takes no names";
    return options->names.empty();
}

bool SomeNames(const char* word, CliOptions* options, std::string* error) {
    *error = std::string(word) + " needs at least one file name";
    return !options->names.empty();
}

bool OneFile(const char* word, CliOptions* options, std::string* error) {
    *error = std::string(word) + " needs one firmware file";
    return options->names.size() == 1;
}

bool BackupAndNames(const char* word, CliOptions* options, std::string* error) {
    if (options->names.empty()) {
        *error = std::string(word) + " needs the backup folder";
        return false;
    }
    options->backupFolder = options->names.front();
    options->names.erase(options->names.begin());
    return true;
}

bool TwoSides(const char* word, CliOptions* options, std::string* error) {
    if (options->names.size() != 2) {
        *error = std::string(word) +
                 " needs two sides: OLD NEW (a backup folder, latest, latest~N or box)";
        return false;
    }
    options->backupFolder = options->names[0];
    options->newerSide = options->names[1];
    options->names.clear();
    return true;
}

bool AtMostOneBox(const char* word, CliOptions* options, std::string* error) {
    *error = std::string(word) + " takes at most one box";
    return options->names.size() <= 1;
}

bool AnyRanges(const char*, CliOptions*, std::string*) {
    return true;  // none: the PC's own networks
}

CliReach Box(const CliOptions&) {
    return CliReach::kBox;
}

CliReach StoreOnly(const CliOptions&) {
    return CliReach::kStore;
}

template <class T>
std::unique_ptr<CliCommand> Make(const CliContext& context) {
    return std::make_unique<T>(context);
}

const CliCommandRow kRows[] = {
    {"list", Command::kList, NoNames, Box, Make<CliList>, "list",
     "  list              print one line per file on the box:\n"
     "                    GROUP<TAB>NAME<TAB>TYPE; control characters in a group\n"
     "                    or name are shown escaped (\\t, \\n, \\r, \\xHH) and a\n"
     "                    backslash as \\\\\n",
     "velqo-cli -H 127.0.0.2 list"},
    {"get", Command::kGet, SomeNames, Box, Make<CliTransfer>, "get [--no-backup] NAME...",
     "  get NAME...       download each named box file into DIR (an existing file\n"
     "                    of that name is replaced only once the download is\n"
     "                    complete; if it held other bytes it is kept as NAME~,\n"
     "                    as cp --backup=simple keeps one, and the log says so)\n",
     "velqo-cli -H 127.0.0.2 -C work get config.txt"},
    {"put", Command::kPut, SomeNames, Box, Make<CliTransfer>, "put [--verify] NAME...",
     "  put NAME...       upload each named file from DIR to the box\n",
     "velqo-cli -H 127.0.0.2 -C work put --verify config.txt"},
    {"backup", Command::kBackup, NoNames, Box, Make<CliBackup>,
     "backup [--into STORE] [--box-name NAME] [--keep N] [--report] [--git REPO [--git-exclude "
     "GROUP]...]",
     "  backup            download every file on the box, in one session, into a\n"
     "                    new folder of the backup store (see below) with\n"
     "                    manifest.txt (velqo-boxsim --folder serves it as a box)\n"
     "                    and SHA256SUMS (sha256sum -c checks it); when files are\n"
     "                    missing, the file INCOMPLETE names them; prints the folder\n",
     "velqo-cli -H 127.0.0.2 backup --keep 10 --report"},
    {"backups", Command::kBackups, NoNames,
     [](const CliOptions& o) { return o.all ? CliReach::kStore : CliReach::kAddress; },
     Make<CliBackups>, "backups [--into STORE] [--box-name NAME] [--all]",
     "  backups           list the box's backups in the store, newest first:\n"
     "                    TAKEN<TAB>HOST:PORT<TAB>FILES<TAB>STATE<TAB>FOLDER, STATE\n"
     "                    complete or why not (incomplete, no manifest, damaged\n"
     "                    manifest, damaged checksums); nothing of the box is read\n",
     "velqo-cli -H 127.0.0.2 backups"},
    {"restore", Command::kRestore, BackupAndNames, Box, Make<CliRestore>,
     "restore [--dry-run] [--verify] [--changed-only] BACKUP|latest [NAME...]",
     "  restore BACKUP    check every file of the backup folder BACKUP (latest: the\n"
     "                    box's newest complete backup in the store) against its\n"
     "                    SHA256SUMS (a damaged backup is refused before anything\n"
     "                    is sent), then upload its files, or only the NAMEs given\n"
     "                    after BACKUP, in manifest order; files the box no longer\n"
     "                    lists are reported and skipped\n",
     "velqo-cli -H 127.0.0.2 restore --changed-only --verify latest"},
    {"compare", Command::kCompare, BackupAndNames, Box, Make<CliCompare>,
     "compare BACKUP|latest [NAME...]",
     "  compare BACKUP    check the backup folder BACKUP as restore does, read each\n"
     "                    of its files (or the NAMEs) back from the box into a\n"
     "                    SHA-256 and print one line per file: same NAME,\n"
     "                    differs NAME, missing-on-box NAME (in the backup, not\n"
     "                    listed by the box), only-on-box NAME (listed by the\n"
     "                    box, not in the backup) or failed NAME\n",
     "velqo-cli -H 127.0.0.2 compare latest"},
    {"diff", Command::kDiff, TwoSides,
     [](const CliOptions& o) {
         int back = 0;
         if (CliDiff::IsBox(o.backupFolder) || CliDiff::IsBox(o.newerSide)) {
             return CliReach::kBox;
         }
         return BackupRef::ParseLatest(o.backupFolder, &back) ||
                        BackupRef::ParseLatest(o.newerSide, &back)
                    ? CliReach::kAddress
                    : CliReach::kStore;
     },
     Make<CliDiff>, "diff [--names-only] OLD NEW",
     "  diff OLD NEW      set two sides file by file: a backup folder, latest,\n"
     "                    latest~N (the N-th complete backup before latest) or box\n"
     "                    (read back, never written); a line per file, same,\n"
     "                    changed, added or removed NAME, a changed text file's\n"
     "                    unified diff (3 lines of context, control characters\n"
     "                    escaped), a changed binary file's sizes and first\n"
     "                    differing byte; needs the box only for latest and box\n",
     "velqo-cli -H 127.0.0.2 diff latest~1 latest"},
    {"history", Command::kHistory, AtMostOneBox,
     [](const CliOptions& o) { return o.names.empty() ? CliReach::kAddress : CliReach::kStore; },
     Make<CliHistory>, "history [BOX]",
     "  history [BOX]     the box's backups in the store, newest first: taken,\n"
     "                    folder, complete or not, files, and what changed since\n"
     "                    the complete backup before (first, same, N changed: ...);\n"
     "                    BOX as the store names it (HOST or HOST+PORT) or a name\n"
     "                    as --box-name takes it (port 1000), else the box of\n"
     "                    --host and --port; reads manifests and checksums\n",
     "velqo-cli history 127.0.0.2+4000"},
    {"update", Command::kUpdate, OneFile, Box, Make<CliUpdate>,
     "update [--keep-group GROUP]... [--wait SECONDS] [--dry-run] [--no-backup-after] "
     "FIRMWARE",
     "  update FIRMWARE   update the box's firmware with a safety net: check that\n"
     "                    the box lists the file's name and make a complete backup,\n"
     "                    send the file and show the box's messages, wait for the\n"
     "                    box to come back, report what the update changed, put\n"
     "                    back the changed files of the --keep-group groups (each\n"
     "                    read back), and back up again; Ctrl+C stops between steps\n",
     "velqo-cli -H 127.0.0.2 update --keep-group Settings update.pkg"},
    {"boxes", Command::kBoxes, NoNames, StoreOnly, Make<CliBoxes>, "boxes [--into STORE]",
     "  boxes             every box of the store, one line each: HOST:PORT,\n"
     "                    backups, the newest complete one and its age, what\n"
     "                    changed in it, the newest incomplete one and why\n",
     "velqo-cli boxes"},
    // A search names no box: the addresses are its ranges, never --host.
    {"find", Command::kFind, AnyRanges, StoreOnly, Make<CliFind>,
     "find [--timeout MS] [--parallel N] [--login] [--wide] [--inventory] [--write-settings] "
     "[RANGE...]",
     "  find [RANGE...]   try the box's port (-p, default 1000) on each address of\n"
     "                    the RANGEs (A.B.C.D/N, A.B.C.D-E or A.B.C.D; without\n"
     "                    one, the PC's own private networks, a wider one cut to\n"
     "                    the /24 around the PC) and print a line per address\n"
     "                    that answered: ADDRESS:PORT<TAB>RESULT<TAB>DETAIL<TAB>\n"
     "                    BACKUP, RESULT open (no --login), box, wrong-password,\n"
     "                    needs-newer-tool, busy (took the connection, did not\n"
     "                    answer) or not-a-box, BACKUP the age of the box's newest\n"
     "                    backup in the store; exit status 0 when something\n"
     "                    answered, 1 when nothing did\n",
     "velqo-cli -p 4000 find --login 127.0.0.0/24"},
};

}  // namespace

std::span<const CliCommandRow> CliCommandRows() {
    return kRows;
}

const CliCommandRow* FindCommandRow(CliOptions::Command command) {
    for (const CliCommandRow& row : kRows) {
        if (row.command == command) {
            return &row;
        }
    }
    return nullptr;
}

const CliCommandRow* FindCommandRow(const std::string& word) {
    for (const CliCommandRow& row : kRows) {
        if (word == row.word) {
            return &row;
        }
    }
    return nullptr;
}
