#pragma once
// The backups dialog's decisions and its work with the box, without any
// window: the backups listed, the files of the selected one with each file's
// state, backing up, comparing and restoring through the window's own session,
// the dialog's status line and which of its buttons are usable. The dialog
// shows what this class holds and asks the user where it is told to.
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/BoxCompare.h"
#include "backup/FileReport.h"
#include "backup/RestorePlan.h"
#include "backup/StoreLock.h"
#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"
#include "history/BackupIndex.h"
#include "ui/flow/BackupShelf.h"
#include "ui/flow/DiffViewRules.h"

class BoxSession;

struct FileStateRow {
    std::string group;
    std::string name;
    std::string sizeText;
    std::string state;     // empty until an operation says something of the file
    bool differs = false;  // a compare found other bytes on the box
};

// Told as an operation goes, on the thread that runs it (a worker): what is
// told is copied, so that the window shows it on its own thread.
class BackupsProgress {
public:
    virtual ~BackupsProgress() = default;
    // The operation's progress, 0..100.
    virtual void OverallChanged(int percent) = 0;
    // File `index` (1-based) of `count`, named `name`, is worked on.
    virtual void FileStarting(int index, int count, const std::string& name) = 0;
    // File row `row` now reads `file` (a row past the end is new).
    virtual void FileRowChanged(int row, const FileStateRow& file) = 0;
};

struct BackupsButtons {
    bool backUpNow = false;
    bool compare = false;
    bool restore = false;
    bool close = false;
    bool update = false;  // Update firmware...
};

// What a restore would send, once its backup is checked and compared.
struct RestoreQuestion {
    bool ask = false;  // false: nothing to send, or refused; Status() says why
    int count = 0;
    std::string text;  // the question, naming the files
};

// A file row's unified diff, or why there is none.
struct ShownDiff {
    bool shown = false;
    std::string title;    // the file and what it is set beside
    std::string unified;  // the diff with its headers
    std::string why;      // when not shown
};

class BackupsFlow : private WholeBoxReport {
public:
    // `root`: the backup store's folder. `host`: the box's address as the
    // user gave it; the window's box is always on the box's own port.
    // `password`: the one the session logged in with, for a firmware
    // update's wait for the box.
    BackupsFlow(BoxSession& session, std::filesystem::path root, const std::string& host,
                std::string password = {});

    // What a firmware update of the same box needs (UpdateFlow).
    BoxSession& Session() const { return m_session; }
    const std::filesystem::path& Root() const { return m_root; }
    const std::string& Host() const { return m_box.host; }
    const std::string& Password() const { return m_password; }

    void SetProgress(BackupsProgress* progress) { m_pProgress = progress; }  // not owned

    // Reads the backups again; none is selected then. With none, Status()
    // says how to make one.
    void ReadShelf();
    // The list's heading: whose backups, and where.
    std::string Heading() const;
    const std::vector<BackupRow>& Backups() const { return m_backups; }
    // Selects a backup (-1: none) and lists its files without states.
    void Select(int row);
    int Selected() const { return m_nSelected; }
    const std::vector<FileStateRow>& Files() const { return m_files; }
    const std::string& Status() const { return m_strStatus; }
    // Whether the session can still work with the box.
    bool LinkUsable() const;
    // While busy only Close (which then cancels) is usable.
    BackupsButtons Buttons(bool busy) const;

    // Before an operation is started (on a worker): no stop asked yet.
    void WorkStarting();
    // From any thread while an operation runs: it stops before the next
    // file; the file under way is finished (or, by a backup, not kept).
    void RequestStop();
    // From any thread: stops, and breaks off the transfer under way by
    // closing the link; the operation then ends with the link lost.
    void BreakOff();
    bool StopAsked() const { return m_bStop; }

    // One backup of the whole box; the new backup is then selected, its
    // files shown as saved.
    void BackUp();
    // The selected backup against the box: each file's state.
    void Compare();
    // A restore's first half: the backup's checksums checked (a damaged
    // backup is refused before anything is sent), then compared; the files
    // that differ are planned.
    RestoreQuestion PrepareRestore();
    // The second half, once the user agreed: the planned files sent, each
    // read back and compared.
    void Restore();
    // The user said no.
    void CancelRestore();

    // Whether file row `row` (of Files()) is a changed text file whose diff
    // can be shown, and against what.
    DiffSource DiffSourceOf(int row) const;
    // Its diff, made on the calling thread from the backups' files and the
    // copy the last compare kept; never while an operation runs.
    ShownDiff DiffOf(int row) const;

    // A transfer's percentage, as the session reports it.
    void TransferPercent(int percent);

private:
    enum class Phase { kIdle, kChecking, kWorking };

    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    bool StopRequested() override { return m_bStop; }

    bool ListBox();
    // Takes m_reading, shared with every reader of the store; false after
    // finishing with why it cannot.
    bool HoldForReading();
    // Loads the selected backup; false (Status() says why) when unusable.
    bool LoadSelected(BackupContents* contents);
    void Begin();
    void SetState(const std::string& name, const std::string& group, const std::string& state,
                  bool differs);
    // `ranToEnd`: the operation did all it set out to do; only then the bar
    // stays full, else it goes back to empty.
    void Finish(const std::string& status, bool ranToEnd);
    std::filesystem::path SelectedFolder() const;
    // The selected backup as the status line names it: in the store's folder.
    std::filesystem::path ShownSelected() const;
    // A file of the backup in row `backup`, checked against its checksum.
    bool ReadBackupFile(int backup, const BackupIndex& index, const std::string& name,
                        std::string* bytes, std::string* why) const;

    BoxSession& m_session;
    std::filesystem::path m_root;
    BackupBox m_box;  // whose backups are listed and made
    std::string m_password;
    BackupsProgress* m_pProgress = nullptr;  // not owned
    std::vector<BackupRow> m_backups;
    int m_nSelected = -1;
    std::vector<FileStateRow> m_files;
    std::string m_strStatus;
    std::vector<wire::ListRecord> m_listed;
    Phase m_phase = Phase::kIdle;
    std::vector<FileReport> m_reports;  // of the operation running
    int m_nFileIndex = 0;
    int m_nFileCount = 0;
    int m_nShownPercent = 0;
    std::string m_strCurrent;  // the file under way
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bBrokenOff{false};
    bool m_bBreakOffLogged = false;  // the console has said that the break-off was asked for
    // The selected backup's manifest and checksums, and those of the complete
    // backup before it (row m_nPrevious).
    int m_nPrevious = -1;
    BackupIndex m_selectedIndex;
    BackupIndex m_previousIndex;
    bool m_bSelectedIndexed = false;
    bool m_bPreviousIndexed = false;
    KeptCopies m_kept;  // the box's copies of the text files the last compare found different
    // Between PrepareRestore and Restore.
    BackupContents m_restoreContents;
    // Held from a compare's or restore's start to its end, so that no prune
    // of another run removes the backup read.
    StoreLock m_reading;
    RestorePlan m_restorePlan;
};
