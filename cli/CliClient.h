#pragma once
// Runs one velqo-cli command against the box: log in, list, the command,
// log out. Returns the process exit status.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "backup/BackupStore.h"
#include "backup/FileReport.h"
#include "backup/ReadBackVerifier.h"
#include "box/BoxLogin.h"
#include "box/WireFormat.h"
#include "cli/CliBackupSource.h"
#include "cli/CliOptions.h"
#include "history/DiffSide.h"

class BoxSession;
class BoxSocket;
class CliOutput;
class FileCatalog;

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

    // The box's address, port and password from the options, else from the
    // settings file. A usage error's exit status after its message: a value
    // from the file that cannot be used as written, or no address at all.
    int ChooseTarget(Target* target);
    // What can go wrong without the box: no backup for `latest`, a damaged
    // backup, a file to put that is not there. The exit status, kExitOk to go on.
    int CheckBeforeConnecting();
    // The backup store: --into, else backup/ in DIR; absolute, and as shown.
    BackupStore Store() const;
    std::filesystem::path ShownStore() const;
    // backups, without the box.
    int ListBackups();
    // A box as the store names it ("HOST", "HOST+PORT"); false for any other text.
    static bool ParseStoreBox(const std::string& text, BackupBox* box);
    // diff: the sides that are backups, checked; the exit status.
    int LoadDiffSides();
    // diff, with the box's session when a side is the box (else null).
    int Diff(BoxSession* session);
    // Says why there is no session, connect or login; the exit status.
    int NotLoggedIn(LoginOutcome login, const BoxSocket& socket, const BoxSession& session,
                    const Target& target);
    // A path the user gave, as seen from DIR (an absolute one stays as it is).
    std::filesystem::path InDirectory(const std::filesystem::path& path) const;
    int RunCommand(BoxSession& session, const FileCatalog& catalog);
    void PrintList(const FileCatalog& catalog);
    // False, after saying so, when the name exists but is no regular file:
    // reading it would fail after the box had accepted the upload.
    bool IsUploadable(const std::string& name, FileReport* file);
    // get or put of one name; false when the link is gone and no further
    // transfer can run.
    bool Transfer(BoxSession& session, const FileCatalog& catalog, const std::string& name,
                  bool* failed);

    const CliOptions& options_;
    CliOutput& output_;
    BackupBox box_;  // the box in the backup store: its address or --box-name, and port
    // DIR as an absolute path: the default place of backups and read-backs.
    std::filesystem::path absoluteDirectory_;
    std::vector<wire::ListRecord> listed_;        // the box's list, in its order
    std::vector<FileReport> unreadable_;          // put: files not there, already said
    std::unique_ptr<CliBackupSource> source_;     // restore and compare only
    std::unique_ptr<ReadBackVerifier> verifier_;  // --verify only
    std::unique_ptr<DiffSide> older_;             // diff: the sides that are backups
    std::unique_ptr<DiffSide> newer_;
};
