#pragma once
// The backups dialog's firmware update, without any window: the groups the
// box lists (to tick those to keep), the question asked before anything is
// sent, and FirmwareUpdate run through the window's own session, each step
// turned into a row of the dialog's list and the line under way in the words
// velqo-cli uses (UpdateWords), and at the end what changed, what was put
// back and where the backups are. Cancel stops between steps (and between
// tries to reach the box again): a step under way always ends first, so that
// no backup is left half made and no file half sent.
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "box/WireFormat.h"
#include "update/FirmwareUpdate.h"
#include "update/UpdateReport.h"

class BoxSession;

// A step's row, or at the end a changed file's (its group, its name, what
// the update and the put-back did to it).
struct UpdateRow {
    std::string step;   // "step 2"
    std::string title;  // the step's title: "send", "wait for the box", ...
    std::string state;  // "under way", then its outcome's words
    bool failed = false;
};

// Told as the update goes, on the worker thread that runs it: what is told
// is copied, so that the window shows it on its own thread.
class UpdateProgress {
public:
    virtual ~UpdateProgress() = default;
    // Row `row` now reads `text` (a row past the end is new).
    virtual void UpdateRowChanged(int row, const UpdateRow& text) = 0;
    // The line of what is under way.
    virtual void UpdateLineChanged(const std::string& line) = 0;
};

class UpdateFlow : private UpdateReport {
public:
    // `store`: the backup store's folder; `host`: the box's address as the
    // user gave it (the store names the box on the box's own port);
    // `password`: the one the session logged in with, for the box's return.
    UpdateFlow(BoxSession& session, std::filesystem::path store, const std::string& host,
               std::string password);

    void SetProgress(UpdateProgress* progress) { m_pProgress = progress; }  // not owned

    // On the worker: reads the box's list; false (Status() says why) when it
    // could not be read.
    bool ListBox();
    // The groups the list names, each once, in the list's order.
    std::vector<std::string> Groups() const;
    // What is asked once, before anything is sent.
    static std::string Confirmation(const std::filesystem::path& firmware,
                                    const std::vector<std::string>& keepGroups);

    // Before the update is started (on a worker): no stop asked yet.
    void WorkStarting();
    // On the worker: the whole update, the list read by ListBox. `waitSeconds`
    // and `retryMs` bound the wait for the box's return.
    void Run(const std::filesystem::path& firmware, std::vector<std::string> keepGroups,
             int waitSeconds = UpdateRequest::kDefaultWaitSeconds,
             int retryMs = UpdateRequest::kRetryMs);
    // From any thread: the update stops before its next step.
    void RequestStop() { m_bStop = true; }
    bool StopAsked() const { return m_bStop; }
    // Whether a stop asked now takes effect at once: between steps, or while
    // the box is waited for; otherwise once the step under way has ended.
    bool CanStopNow() const { return m_bBetweenSteps; }

    // Once it has ended (or failed to list): the rows, and the status line.
    const std::vector<UpdateRow>& Rows() const { return m_rows; }
    const std::string& Status() const { return m_strStatus; }
    const UpdateOutcome& Outcome() const { return m_outcome; }

private:
    void StepStarting(UpdateStep step) override;
    void StepDone(const StepOutcome& outcome) override;
    void Waiting(int seconds, int bound) override;
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    bool StopRequested() override { return m_bStop && m_bBetweenSteps; }

    // After the steps, a row for each file the update changed: what it did
    // to the file, and what putting it back did.
    void AddChangeRows();
    void Show(size_t row);
    void Line(const std::string& line);
    // What the update did, as one status line.
    std::string Summary() const;
    // A backup's folder as the window names it: backup\<folder>.
    std::string Shown(const std::filesystem::path& folder) const;

    BoxSession& m_session;
    std::filesystem::path m_store;
    BackupBox m_box;
    std::string m_password;
    UpdateProgress* m_pProgress = nullptr;  // not owned
    std::vector<wire::ListRecord> m_listed;
    std::vector<UpdateRow> m_rows;
    std::string m_strStatus;
    UpdateOutcome m_outcome;
    std::string m_strTitle;  // of the step under way
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bBetweenSteps{true};
};
