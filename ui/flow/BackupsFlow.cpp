#include "ui/flow/BackupsFlow.h"

#include <algorithm>

#include "backup/BackupFolder.h"
#include "backup/BoxBackup.h"
#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "backup/ReadBackVerifier.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFullPercent = 100;

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) {
        text += (text.empty() ? "" : ", ") + n;
    }
    return text;
}

std::string Count(int n, const char* what) {
    return std::to_string(n) + " " + what;
}

// "27 same, 1 differs": the counts that are not zero, in this order.
std::string CompareSummary(const CompareOutcome& c) {
    const std::pair<int, const char*> parts[] = {{c.same, "same"},
                                                 {c.differs, "different"},
                                                 {c.missingOnBox, "missing on the box"},
                                                 {c.onlyOnBox, "only on the box"},
                                                 {c.failed, "failed"}};
    std::string text;
    for (const auto& [n, word] : parts) {
        if (n > 0) {
            text += (text.empty() ? "" : ", ") + Count(n, word);
        }
    }
    return text.empty() ? "nothing to compare" : text;
}

}  // namespace

std::string FileStateText(const FileReport& file) {
    switch (file.result) {
        case FileResult::kSaved:
            return "saved";
        case FileResult::kSent:
            // Read back and found equal, or not read back at all; a copy that
            // differs is a failure.
            return file.verified == Verified::kYes  ? "verified"
                   : file.verified == Verified::kNo ? "failed"
                                                    : "sent";
        case FileResult::kWouldSend:
            return "would send";
        case FileResult::kUnchanged:
            return "unchanged";
        case FileResult::kSame:
            return "same";
        case FileResult::kDiffers:
            return "differs";
        case FileResult::kSkipped:  // a restore skips what the box does not list
        case FileResult::kMissingOnBox:
            return "missing on the box";
        case FileResult::kOnlyOnBox:
            return "only on the box";
        case FileResult::kFailed:
            break;
    }
    return "failed";
}

BackupsFlow::BackupsFlow(BoxSession& session, fs::path root, const std::string& host)
    : session_(session), root_(std::move(root)), box_(BackupBox::Of(host, box_defaults::kPort)) {}

void BackupsFlow::ReadShelf() {
    backups_ = BackupShelf::List(root_, box_);
    Select(-1);
}

void BackupsFlow::Select(int row) {
    selected_ = row >= 0 && row < static_cast<int>(backups_.size()) ? row : -1;
    files_.clear();
    if (selected_ < 0) {
        return;
    }
    for (const BackupFileRow& f : BackupShelf::Files(SelectedFolder())) {
        files_.push_back({f.group, f.name, f.sizeText, ""});
    }
}

fs::path BackupsFlow::SelectedFolder() const {
    return root_ / backups_[static_cast<size_t>(selected_)].folder;
}

bool BackupsFlow::LinkUsable() const {
    return session_.State() == BoxSession::kLoggedIn && !session_.LinkLost();
}

BackupsButtons BackupsFlow::Buttons(bool busy) const {
    if (busy) {
        return {false, false, false, true};
    }
    const bool link = LinkUsable();
    // A backup whose manifest cannot be read has no files to compare or send.
    const bool readable =
        selected_ >= 0 && backups_[static_cast<size_t>(selected_)].state.fileCount >= 0;
    return {link, link && readable, link && readable, true};
}

void BackupsFlow::WorkStarting() {
    stop_ = false;
    brokenOff_ = false;
}

void BackupsFlow::RequestStop() {
    stop_ = true;
}

void BackupsFlow::BreakOff() {
    stop_ = true;
    brokenOff_ = true;
    session_.Socket()->Interrupt();
}

void BackupsFlow::Begin() {
    reports_.clear();
    fileIndex_ = 0;
    fileCount_ = 0;
    shownPercent_ = 0;
    if (progress_ != nullptr) {
        progress_->OverallChanged(0);
    }
}

bool BackupsFlow::ListBox() {
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (session_.ListFiles(records, &count) == 0) {
        return false;
    }
    listed_.assign(records, records + count);
    return true;
}

void BackupsFlow::Finish(const std::string& status) {
    phase_ = Phase::kIdle;
    if (brokenOff_ && !LinkUsable()) {
        status_ = status + " The transfer of " + current_ +
                  " was broken off by closing the link: log in again.";
    } else {
        status_ = LinkUsable() ? status : status + " The link to the box is lost: log in again.";
    }
    if (progress_ != nullptr) {
        progress_->OverallChanged(kFullPercent);
    }
    session_.Log(("PC > " + status_ + "\n").c_str());
}

void BackupsFlow::FileStarting(int index, int count, const std::string& name) {
    fileIndex_ = index;
    fileCount_ = count;
    current_ = name;
    if (progress_ != nullptr) {
        progress_->FileStarting(index, count, name);
    }
    TransferPercent(0);
}

void BackupsFlow::TransferPercent(int percent) {
    if (phase_ == Phase::kIdle || progress_ == nullptr) {
        return;
    }
    const int done = fileIndex_ > 0 ? fileIndex_ - 1 : 0;
    const int count = std::max(fileCount_, 1);
    // A restore reads each file back after sending it: the bar never goes back.
    const int overall = std::clamp((done * kFullPercent + percent) / count, 0, kFullPercent);
    if (overall > shownPercent_) {
        shownPercent_ = overall;
        progress_->OverallChanged(overall);
    }
}

void BackupsFlow::FileDone(const FileReport& file) {
    reports_.push_back(file);
    // A backup's files are shown once it is selected at the end.
    if (phase_ == Phase::kChecking && file.result == FileResult::kFailed) {
        SetState(file.name, file.group, "damaged");
    } else if (phase_ == Phase::kWorking) {
        SetState(file.name, file.group, FileStateText(file));
    }
}

void BackupsFlow::SetState(const std::string& name, const std::string& group,
                           const std::string& state) {
    bool found = false;
    for (size_t row = 0; row < files_.size(); ++row) {
        if (files_[row].name == name) {
            files_[row].state = state;
            found = true;
            if (progress_ != nullptr) {
                progress_->FileRowChanged(static_cast<int>(row), files_[row]);
            }
        }
    }
    if (!found) {
        // A file of the box that the backup does not hold.
        files_.push_back({group, name, "", state});
        if (progress_ != nullptr) {
            progress_->FileRowChanged(static_cast<int>(files_.size() - 1), files_.back());
        }
    }
}

void BackupsFlow::BackUp() {
    Begin();
    Select(-1);  // the files list fills as the files are saved
    session_.Log("\n");
    if (!ListBox()) {
        Finish("No backup: the box's list of files could not be read.");
        return;
    }
    phase_ = Phase::kWorking;
    const BackupOutcome outcome = BoxBackup(root_, box_).Run(session_, listed_, *this);
    phase_ = Phase::kIdle;
    const std::string shown = (fs::path(BackupShelf::kFolder) / outcome.folder.filename()).string();
    std::vector<std::string> notSaved;
    for (const FileReport& r : reports_) {
        if (r.result == FileResult::kFailed) {
            notSaved.push_back(r.name);
        }
    }
    std::string status;
    switch (outcome.status) {
        case BackupOutcome::Status::kNoFolder:
            status = "No backup: no folder can be made in " + std::string(BackupShelf::kFolder) +
                     (outcome.why.empty() ? "." : ": " + outcome.why + ".");
            break;
        case BackupOutcome::Status::kNotStarted:
            status = "No backup: nothing can be written in " + shown + ".";
            break;
        case BackupOutcome::Status::kIncomplete:
            status = std::string(outcome.stopped ? "Stopped: " : "") + "INCOMPLETE backup in " +
                     shown + ": " + std::to_string(outcome.saved) + " of " +
                     std::to_string(outcome.listed) + " file(s) saved" +
                     (notSaved.empty() ? "" : "; not saved: " + Joined(notSaved)) +
                     (outcome.stopped    ? "; the others were not reached."
                      : notSaved.empty() ? "; its own files could not all be written."
                                         : ".");
            break;
        case BackupOutcome::Status::kComplete:
            status = "Backed up " + Count(static_cast<int>(outcome.saved), "file(s)") + " into " +
                     shown + ".";
            break;
    }
    // The new backup selected, its files shown as saved.
    const std::vector<FileReport> reports = reports_;
    backups_ = BackupShelf::List(root_, box_);
    Select(-1);
    for (size_t row = 0; row < backups_.size(); ++row) {
        if (!outcome.folder.empty() && backups_[row].folder == outcome.folder.filename()) {
            Select(static_cast<int>(row));
        }
    }
    for (FileStateRow& f : files_) {
        for (const FileReport& r : reports) {
            f.state = r.name == f.name ? FileStateText(r) : f.state;
        }
    }
    Finish(status);
}

bool BackupsFlow::LoadSelected(BackupContents* contents) {
    const BackupContents::Check check = contents->Load(SelectedFolder(), this);
    if (check == BackupContents::Check::kUnusable) {
        Finish("Not a usable backup: " + contents->ErrorFile() + ": " + contents->Error() +
               "; nothing was sent.");
        return false;
    }
    if (check == BackupContents::Check::kDamaged) {
        Finish("Damaged backup, refused: " + Joined(contents->Failing()) +
               " fail(s) the backup's checksums; nothing was sent.");
        return false;
    }
    return true;
}

void BackupsFlow::Compare() {
    Begin();
    Select(selected_);  // the states and the box's own files of an earlier compare go
    session_.Log("\n");
    phase_ = Phase::kChecking;
    BackupContents contents;
    const bool usable =
        contents.Load(SelectedFolder(), nullptr) != BackupContents::Check::kUnusable;
    if (!usable) {
        Finish("Not a usable backup: " + contents.ErrorFile() + ": " + contents.Error() + ".");
        return;
    }
    if (!ListBox()) {
        Finish("No compare: the box's list of files could not be read.");
        return;
    }
    phase_ = Phase::kWorking;
    const CompareOutcome outcome = BoxCompare::Run(session_, listed_, contents, *this);
    Finish((outcome.stopped ? "Compare stopped: " : "Compared with the box: ") +
           CompareSummary(outcome) + ".");
}

RestoreQuestion BackupsFlow::PrepareRestore() {
    Begin();
    Select(selected_);
    session_.Log("\n");
    phase_ = Phase::kChecking;
    restoreContents_ = BackupContents();
    if (!LoadSelected(&restoreContents_)) {
        return {};
    }
    std::string missing;
    if (!RestorePlan::Make(restoreContents_, {}, &restorePlan_, &missing) || !ListBox()) {
        Finish("No restore: the box's list of files could not be read; nothing was sent.");
        return {};
    }
    phase_ = Phase::kWorking;
    const CompareOutcome compared = BoxCompare::Run(session_, listed_, restoreContents_, *this);
    if (compared.stopped) {
        Finish("Restore stopped while comparing: nothing was sent.");
        return {};
    }
    if (compared.linkLost) {
        Finish("No restore: the box's files could not be compared; nothing was sent.");
        return {};
    }
    for (const FileReport& r : reports_) {
        if (r.result == FileResult::kSame) {
            restorePlan_.MarkUnchanged(r.name);
        }
    }
    // What the box does not list cannot be sent; it is left as it is.
    std::vector<std::string> toSend;
    for (const PlannedFile& p : restorePlan_.Files()) {
        bool listed = false;
        for (const wire::ListRecord& r : listed_) {
            listed = listed || p.name == r.name;
        }
        if (listed && !p.unchanged) {
            toSend.push_back(p.name);
        }
    }
    phase_ = Phase::kIdle;
    if (toSend.empty()) {
        Finish("Nothing to restore: the box holds the backup's files (" + CompareSummary(compared) +
               ").");
        return {};
    }
    RestoreQuestion question;
    question.ask = true;
    question.count = static_cast<int>(toSend.size());
    question.text = Count(question.count, "file(s)") +
                    " of the backup differ from the box's and will be sent: " + Joined(toSend) +
                    ".\n\nEach is read back from the box and checked. Send them now?";
    return question;
}

void BackupsFlow::Restore() {
    Begin();
    ReadBackVerifier verifier(root_);
    phase_ = Phase::kWorking;
    const RestoreOutcome outcome = BoxRestore::Run(session_, listed_, restoreContents_,
                                                   restorePlan_, {false, &verifier}, *this);
    std::vector<std::string> failed;
    std::vector<std::string> notSent;
    for (const PlannedFile& p : restorePlan_.Files()) {
        bool reported = false;
        for (const FileReport& r : reports_) {
            reported = reported || r.name == p.name;
            if (r.name == p.name && FileStateText(r) == "failed") {
                failed.push_back(r.name);
            }
        }
        if (!reported) {
            notSent.push_back(p.name);
        }
    }
    Finish((outcome.stopped || stop_ ? "Restore stopped: " : "Restored: ") +
           Count(outcome.sent, "sent") + ", " + Count(outcome.unchanged, "unchanged") +
           (failed.empty() ? "" : "; failed: " + Joined(failed)) +
           (notSent.empty() ? "" : "; not sent: " + Joined(notSent)) + "." +
           // A broken-off upload may have left part of the file on the box.
           (brokenOff_ && !failed.empty() && failed.back() == current_
                ? " The box may hold only part of " + current_ + ": restore it again."
                : ""));
}

void BackupsFlow::CancelRestore() {
    Finish("Restore cancelled: nothing was sent.");
}
