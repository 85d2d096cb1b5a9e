#include "cli/CliBackup.h"

#include <set>

#include "backup/BackupStore.h"
#include "backup/BackupWords.h"
#include "backup/BoxBackup.h"
#include "backup/PruneWords.h"
#include "base/TextEscape.h"
#include "cli/CliBackupReport.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"

namespace fs = std::filesystem;
using Command = CliOptions::Command;

CliBackup::CliBackup(const CliContext& context) : context_(context), output_(context.output) {}

CliBackup::~CliBackup() {
    if (!filled_ && backup_ && !backup_->Folder().empty()) {
        std::error_code ec;
        fs::remove(backup_->Folder(), ec);  // fails, as it should, on a folder not empty
    }
}

int CliBackup::Check() {
    backup_.emplace(context_.Store().Root(), context_.box);
    std::string why;
    if (!backup_->MakeFolderFirst(&why)) {
        return output_.Error(CliClient::kExitFailed, "cannot make a backup folder in %s%s%s",
                             context_.ShownStore().string().c_str(), why.empty() ? "" : ": ",
                             why.c_str());
    }
    return CliClient::kExitOk;
}

void CliBackup::FileStarting(int index, int count, const std::string& name) {
    TerminalLog::FileStarting(name, index, count);
    if (interruption_) {
        interruption_->Starting(name);
    }
}

void CliBackup::FileDone(const FileReport& file) {
    if (file.result == FileResult::kFailed) {
        notSaved_.push_back(file.name);
    }
    if (interruption_) {
        interruption_->Done(file.result == FileResult::kSaved);
    }
    if (file.result == FileResult::kFailed) {
        output_.Note("%s: not saved: %s", QuoteForMessage(file.name).c_str(), file.message.c_str());
    }
    output_.File(file);
}

std::string CliBackup::Prune(const fs::path& made) {
    const fs::path shownInto = context_.ShownStore();
    const PruneOutcome pruned = context_.Store().Prune(made, context_.options.keep);
    using Kind = PruneWords::Kind;
    for (const fs::path& folder : pruned.removed) {
        output_.Info("%s", PruneWords::Line(Kind::kRemoved, shownInto, folder).c_str());
        output_.Removed(folder);
    }
    const std::pair<Kind, const std::vector<PruneOutcome::Problem>*> problems[] = {
        {Kind::kKept, &pruned.keptForeign}, {Kind::kNotRemoved, &pruned.failed}};
    for (const auto& [kind, list] : problems) {
        for (const PruneOutcome::Problem& p : *list) {
            output_.Note("%s", PruneWords::Line(kind, shownInto, p.folder, p.why).c_str());
            output_.NotRemoved(PruneWords::Key(kind), p.folder, p.why);
        }
    }
    if (const std::string deferred = PruneWords::Deferred(pruned); !deferred.empty()) {
        output_.Note("%s", deferred.c_str());
    }
    return PruneWords::Problem(pruned, shownInto);
}

int CliBackup::Run(const CliBoxLink* box) {
    const CliOptions& options = context_.options;
    const BackupStore store = context_.Store();
    const fs::path shownInto = context_.ShownStore();
    filled_ = true;
    std::set<std::string> names;
    for (const wire::ListRecord& record : box->listed) {
        names.insert(record.name);
    }
    interruption_ = std::make_unique<CliInterruption>(
        CliInterruption::State{Command::kBackup,
                               0,
                               static_cast<int>(names.size()),
                               "",
                               (shownInto / backup_->Folder().filename()).string(),
                               {}},
        TerminalLog::ProgressShown());
    const BackupOutcome outcome = backup_->Run(box->session, box->listed, *this);
    interruption_.reset();
    const fs::path shown = shownInto / outcome.folder.filename();
    const std::string problem =
        BackupWords::Problem(outcome, shownInto.string(), shown.string(), notSaved_);
    if (outcome.status == BackupOutcome::Status::kNoFolder) {
        return output_.Error(CliClient::kExitFailed, "%s", problem.c_str());
    }
    output_.Folder(outcome.folder);
    for (const fs::path& file : outcome.unwritten) {
        output_.Note("cannot write %s", (shown / file.filename()).string().c_str());
    }
    if (outcome.status == BackupOutcome::Status::kNotStarted) {
        filled_ = false;  // nothing went in: the folder goes again while empty
        return output_.Error(CliClient::kExitFailed, "%s", problem.c_str());
    }
    output_.Line("%s\n", shown.string().c_str());
    if (outcome.status != BackupOutcome::Status::kComplete) {
        return output_.Error(CliClient::kExitFailed, "%s", problem.c_str());
    }
    output_.Flag("complete", true);
    // On a terminal the folder stands on the line above already.
    output_.Info("backup of %zu file(s) complete%s%s", outcome.saved,
                 output_.OneTerminal() ? "" : " in ",
                 output_.OneTerminal() ? "" : shown.string().c_str());
    // Before pruning, which may remove the backup before this one.
    bool told = true;
    if (options.report || !options.git.empty()) {
        CliBackupReport report(options, store, outcome.folder, output_);
        told = !options.report || report.Report();
        told = (options.git.empty() || report.Commit(context_.directory / options.git)) && told;
    }
    if (options.keep > 0) {
        const std::string notPruned = Prune(outcome.folder);
        if (!notPruned.empty()) {
            return output_.Error(CliClient::kExitFailed, "%s", notPruned.c_str());
        }
    }
    return told ? CliClient::kExitOk : CliClient::kExitFailed;
}
