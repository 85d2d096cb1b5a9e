#include "cli/CliRestore.h"

#include <string>

#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "backup/RestorePlan.h"
#include "backup/RestoreWords.h"
#include "base/TextEscape.h"
#include "cli/CliBackupSource.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"

namespace {

// A compare's results, each taken into the plan.
struct ComparedFiles : WholeBoxReport {
    explicit ComparedFiles(RestorePlan& plan) : plan(plan) {}
    void FileStarting(int index, int count, const std::string& name) override {
        TerminalLog::FileStarting(name, index, count);
    }
    void FileDone(const FileReport& file) override { plan.MarkCompared(file); }
    RestorePlan& plan;  // not owned
};

}  // namespace

CliRestore::CliRestore(const CliContext& context)
    : context_(context), options_(context.options), output_(context.output) {
    output_.Flag("dry_run", options_.dryRun);
}

int CliRestore::Check() {
    const int status = CliBackupSource::Open(context_, &source_);
    if (status == CliClient::kExitOk && options_.verify) {
        verifier_ = std::make_unique<ReadBackVerifier>(context_.directory);
    }
    return status;
}

void CliRestore::FileStarting(int index, int count, const std::string& name) {
    TerminalLog::FileStarting(name, index, count);
    if (interruption_) {
        interruption_->Starting(name);
    }
}

void CliRestore::FileDone(const FileReport& file) {
    if (interruption_) {
        interruption_->Done(file.result == FileResult::kSent);
    }
    output_.File(file);
    const std::string name = QuoteForMessage(file.name);
    switch (file.result) {
        case FileResult::kFailed:
            output_.Note("%s: %s", name.c_str(), file.message.c_str());
            break;
        case FileResult::kSkipped:
            output_.Note("%s: %s; skipped", name.c_str(), file.message.c_str());
            break;
        case FileResult::kWouldSend:
            output_.Line("would send %s (%lld byte(s))\n", name.c_str(),
                         static_cast<long long>(file.size));
            break;
        case FileResult::kUnchanged:
            output_.Detail("%s: the box holds it as in the backup; not sent", name.c_str());
            break;
        case FileResult::kSent:
            if (file.verified == Verified::kYes) {
                output_.Info("%s: %s", name.c_str(), file.message.c_str());
            } else if (!file.message.empty()) {
                output_.Note("%s: %s", name.c_str(), file.message.c_str());
            }
            break;
        default:
            // A failed upload has been told by the session's own lines.
            break;
    }
}

void CliRestore::MarkUnchanged(BoxSession& session, const std::vector<wire::ListRecord>& listed) {
    ComparedFiles compared(source_->Plan());
    BoxCompare::Run(session, listed, source_->Contents(), compared, source_->Names());
}

int CliRestore::Run(const CliBoxLink* box) {
    if (options_.changedOnly) {
        MarkUnchanged(box->session, box->listed);
    }
    ReadBackVerifier* verifier = verifier_.get();
    if (!options_.dryRun) {
        interruption_ = std::make_unique<CliInterruption>(
            CliInterruption::State{CliOptions::Command::kRestore,
                                   0,
                                   static_cast<int>(source_->Plan().Files().size()),
                                   "",
                                   options_.backupFolder,
                                   {}},
            TerminalLog::ProgressShown());
    }
    const RestoreOutcome outcome =
        BoxRestore::Run(box->session, box->listed, source_->Contents(), source_->Plan(),
                        {options_.dryRun, verifier}, *this);
    interruption_.reset();
    if (!outcome.linkEnd.empty()) {
        output_.Note("%s; stopping", outcome.linkEnd.c_str());
    }
    output_.Flag("changed", outcome.sent > 0);
    RestoreWords::Facts facts;
    facts.shownBackup = source_->Given().string();
    facts.planned = static_cast<int>(source_->Plan().Files().size());
    facts.dryRun = options_.dryRun;
    facts.verifying = verifier != nullptr;
    facts.changedOnly = options_.changedOnly;
    output_.Info("%s", RestoreWords::Summary(outcome, facts).c_str());
    return outcome.failed ? CliClient::kExitFailed : CliClient::kExitOk;
}
