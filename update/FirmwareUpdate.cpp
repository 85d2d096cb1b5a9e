#include "update/FirmwareUpdate.h"

#include <algorithm>
#include <set>

#include "backup/BackupContents.h"
#include "backup/BackupWords.h"
#include "backup/BoxBackup.h"
#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "backup/ReadBackVerifier.h"
#include "backup/RestorePlan.h"
#include "base/RegularFile.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/PlainFileName.h"
#include "box/TransferText.h"
#include "update/UpdateReport.h"
#include "update/UpdateWords.h"

namespace fs = std::filesystem;

namespace {

// Passes each file on to the front and keeps those that `keep` accepts.
class KeptFiles : public WholeBoxReport {
public:
    KeptFiles(UpdateReport& report, std::vector<FileReport>* kept, bool (*keep)(const FileReport&))
        : report_(report), kept_(kept), keep_(keep) {}
    void FileStarting(int index, int count, const std::string& name) override {
        report_.FileStarting(index, count, name);
    }
    void FileDone(const FileReport& file) override {
        if (keep_(file)) {
            kept_->push_back(file);
        }
        report_.FileDone(file);
    }
    bool StopRequested() override { return report_.StopRequested(); }

private:
    UpdateReport& report_;
    std::vector<FileReport>* kept_;
    bool (*keep_)(const FileReport&);
};

bool Done(const StepOutcome& step, UpdateReport& report, UpdateOutcome* out) {
    out->steps.push_back(step);
    report.StepDone(step);
    return !IsFailure(step.result);
}

// Asked before each step but the first: true, with the step's outcome
// added, when the front wants to stop.
bool StoppedBefore(UpdateStep step, UpdateReport& report, UpdateOutcome* out) {
    if (!report.StopRequested()) {
        return false;
    }
    Done({step, StepResult::kStopped, "", out->backupBefore}, report, out);
    return true;
}

// The update's report, told every file of a backup, and the names of those
// that failed kept for the backup's words.
class BackupReport : public WholeBoxReport {
public:
    explicit BackupReport(UpdateReport& report) : report_(report) {}
    void FileStarting(int index, int count, const std::string& name) override {
        report_.FileStarting(index, count, name);
    }
    void FileDone(const FileReport& file) override {
        if (file.result == FileResult::kFailed) {
            notSaved_.push_back(file.name);
        }
        report_.FileDone(file);
    }
    bool StopRequested() override { return report_.StopRequested(); }
    const std::vector<std::string>& NotSaved() const { return notSaved_; }

private:
    UpdateReport& report_;
    std::vector<std::string> notSaved_;
};

// A backup now into the store: its outcome as the step's, kFailed's with why.
StepOutcome Backup(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                   const fs::path& store, const BackupBox& box, UpdateReport& report,
                   StepOutcome step, StepResult failed) {
    BackupReport told(report);
    const BackupOutcome made = BoxBackup(store, box).Run(session, listed, told);
    step.folder = made.folder;
    if (made.stopped) {
        step.result = StepResult::kStopped;
    } else if (made.status != BackupOutcome::Status::kComplete) {
        step.result = failed;
        step.why = BackupWords::Problem(made, store.string(), made.folder.string(),
                                        told.NotSaved());
    }
    return step;
}

bool IsChange(const FileReport& file) {
    return file.result != FileResult::kSame;
}

bool Any(const FileReport&) {
    return true;
}

}  // namespace

FirmwareUpdate::FirmwareUpdate(UpdateRequest request, fs::path store, BackupBox box, BoxLink link,
                               fs::path workArea)
    : request_(std::move(request)),
      store_(std::move(store)),
      box_(std::move(box)),
      link_(std::move(link)),
      workArea_(std::move(workArea)) {}

std::string FirmwareUpdate::BoxName() const {
    return request_.firmware.filename().string();
}

UpdateOutcome FirmwareUpdate::Run(BoxSession& session, std::vector<wire::ListRecord> listed,
                                  UpdateReport& report) const {
    UpdateOutcome out;
    out.dryRun = request_.dryRun;
    BackupContents before;
    report.StepStarting(UpdateStep::kCheck);
    if (!Check(session, listed, &before, report, &out)) {
        return out;
    }
    if (request_.dryRun) {
        StepOutcome would{UpdateStep::kSend, StepResult::kWouldSend, BoxName(), out.backupBefore};
        would.seconds = request_.waitSeconds;
        Done(would, report, &out);
        return out;
    }
    if (StoppedBefore(UpdateStep::kSend, report, &out)) {
        return out;
    }
    report.StepStarting(UpdateStep::kSend);
    if (!Send(session, report, &out) || StoppedBefore(UpdateStep::kWaitForBox, report, &out)) {
        return out;
    }
    report.StepStarting(UpdateStep::kWaitForBox);
    StepOutcome back =
        BoxReturn(link_, request_.waitSeconds, request_.retryMs).Wait(session, &listed, report);
    back.folder = out.backupBefore;
    if (!Done(back, report, &out) || StoppedBefore(UpdateStep::kCompare, report, &out)) {
        return out;
    }
    report.StepStarting(UpdateStep::kCompare);
    if (!Compare(session, listed, before, report, &out) ||
        StoppedBefore(UpdateStep::kPutBack, report, &out)) {
        return out;
    }
    report.StepStarting(UpdateStep::kPutBack);
    if (!PutBack(session, listed, before, report, &out)) {
        return out;
    }
    if (!request_.backupAfter) {
        Done({UpdateStep::kBackUpAgain, StepResult::kNotBackedUpAgain}, report, &out);
        return out;
    }
    if (!StoppedBefore(UpdateStep::kBackUpAgain, report, &out)) {
        report.StepStarting(UpdateStep::kBackUpAgain);
        BackUpAgain(session, listed, report, &out);
    }
    return out;
}

bool FirmwareUpdate::Check(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                           BackupContents* before, UpdateReport& report, UpdateOutcome* out) const {
    const std::string name = BoxName();
    StepOutcome step{UpdateStep::kCheck, StepResult::kChecked, request_.firmware.string()};
    const FileKind kind = KindOfFile(request_.firmware, LinkRule::kFollow);
    if (kind == FileKind::kMissing || kind == FileKind::kUnreadable) {
        step.result = StepResult::kNoLocalFile;
        step.why = kind == FileKind::kMissing ? "it does not exist" : FileKindText(kind);
        return Done(step, report, out);
    }
    if (kind != FileKind::kRegular) {
        step.result = StepResult::kNotRegularFile;
        step.why = FileKindText(kind);
        return Done(step, report, out);
    }
    step.file = name;
    if (!IsPlainFileName(name.c_str())) {
        step.result = StepResult::kNotPlainName;
        return Done(step, report, out);
    }
    const auto listedName = [&](const wire::ListRecord& r) {
        return !r.nameFillsField && name == r.name;
    };
    if (std::none_of(listed.begin(), listed.end(), listedName)) {
        step.result = StepResult::kNotListed;
        return Done(step, report, out);
    }
    for (const std::string& group : request_.keepGroups) {
        const auto inGroup = [&](const wire::ListRecord& r) { return group == r.group; };
        if (std::none_of(listed.begin(), listed.end(), inGroup)) {
            step.names.push_back(group);
        }
    }
    if (!step.names.empty()) {
        step.result = StepResult::kGroupNotListed;
        return Done(step, report, out);
    }
    step = Backup(session, listed, store_, box_, report, step, StepResult::kBackupFailed);
    out->backupBefore = step.folder;
    if (step.result == StepResult::kChecked) {
        // Read back from disk as a restore would: what the compare and the
        // put-back rely on must be what the folder holds.
        const BackupContents::Check checked = before->Load(step.folder, nullptr);
        if (checked != BackupContents::Check::kOk || before->Incomplete()) {
            step.result = StepResult::kBackupFailed;
            step.why = "its check failed" + (before->Error().empty() ? ""
                                                                     : ": " + before->ErrorFile() +
                                                                           ": " + before->Error());
        }
    }
    return Done(step, report, out);
}

bool FirmwareUpdate::Send(BoxSession& session, UpdateReport& report, UpdateOutcome* out) const {
    const std::string name = BoxName();
    StepOutcome step{UpdateStep::kSend, StepResult::kSent, name, out->backupBefore};
    session.UploadFrom(name.c_str(), request_.firmware.parent_path(), LinkRule::kFollow);
    out->boxSaid = session.LastWaitMessages();
    switch (session.LastOutcome()) {
        case TransferOutcome::kDone:
            // Without a final status the box broke off its messages: most
            // likely it restarts, which the next step finds out.
            if (!out->boxSaid.empty() && out->boxSaid.back().status < wire::kFlagLast) {
                step.result = StepResult::kSentNoVerdict;
            }
            break;
        case TransferOutcome::kRefused:
            step.result = StepResult::kSendRefused;
            step.why = session.LastRefusal();
            break;
        case TransferOutcome::kBoxFailed:
            step.result = StepResult::kBoxFailed;
            step.why = out->boxSaid.empty() ? "" : out->boxSaid.back().text;
            break;
        default:
            step.result = StepResult::kSendFailed;
            step.why = TransferFailureText(session.LastOutcome(), false);
            break;
    }
    return Done(step, report, out);
}

bool FirmwareUpdate::Compare(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                             const BackupContents& before, UpdateReport& report,
                             UpdateOutcome* out) const {
    StepOutcome step{UpdateStep::kCompare, StepResult::kCompared, "", out->backupBefore};
    KeptFiles changes(report, &out->changes, &IsChange);
    const CompareOutcome compared = BoxCompare::Run(session, listed, before, changes);
    step.count = compared.differs + compared.missingOnBox + compared.onlyOnBox;
    if (compared.stopped) {
        step.result = StepResult::kStopped;
    } else if (compared.failed > 0 || compared.linkLost) {
        step.result = StepResult::kCompareFailed;
        step.why = std::to_string(compared.failed) + " file(s) could not be read back" +
                   (compared.linkLost ? ", " + SessionEndText(session.LastOutcome()) : "");
    }
    return Done(step, report, out);
}

bool FirmwareUpdate::PutBack(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                             const BackupContents& before, UpdateReport& report,
                             UpdateOutcome* out) const {
    StepOutcome step{UpdateStep::kPutBack, StepResult::kNothingToKeep, "", out->backupBefore};
    const std::set<std::string> keep(request_.keepGroups.begin(), request_.keepGroups.end());
    std::vector<std::string> names;
    for (const FileReport& file : out->changes) {
        // Only what the box still lists can go back; never the old firmware.
        if (file.result != FileResult::kDiffers || file.name == BoxName()) {
            continue;
        }
        const bool kept = std::any_of(
            before.Entries().Entries().begin(), before.Entries().Entries().end(),
            [&](const auto& e) { return e.name == file.name && keep.count(e.group) > 0; });
        if (kept || keep.empty()) {
            names.push_back(file.name);
        }
    }
    if (names.empty()) {
        return Done(step, report, out);
    }
    step.names = names;
    if (keep.empty()) {
        step.result = StepResult::kNotKept;
        return Done(step, report, out);
    }
    RestorePlan plan;
    std::string notInBackup;
    RestorePlan::Make(before, names, &plan, &notInBackup);  // each name is the backup's
    ReadBackVerifier verifier(workArea_);
    KeptFiles sent(report, &out->putBack, &Any);
    const RestoreOutcome restored =
        BoxRestore::Run(session, listed, before, plan, {false, &verifier}, sent);
    step.count = restored.verified;
    step.result = StepResult::kPutBack;
    if (restored.stopped) {
        step.result = StepResult::kStopped;
    } else if (restored.failed || restored.verified != static_cast<int>(names.size())) {
        step.result = StepResult::kPutBackFailed;
        step.count = static_cast<int>(names.size()) - restored.verified;
    }
    return Done(step, report, out);
}

bool FirmwareUpdate::BackUpAgain(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                                 UpdateReport& report, UpdateOutcome* out) const {
    StepOutcome step =
        Backup(session, listed, store_, box_, report,
               {UpdateStep::kBackUpAgain, StepResult::kBackedUp}, StepResult::kBackupAfterFailed);
    out->backupAfter = step.folder;
    return Done(step, report, out);
}
