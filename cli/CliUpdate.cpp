#include "cli/CliUpdate.h"

#include <nlohmann/json.hpp>

#include "base/SignalCleanup.h"
#include "base/TextEscape.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"
#include "update/FirmwareUpdate.h"
#include "update/UpdateWords.h"

namespace {

using Json = nlohmann::ordered_json;

// A waiting line at most this often: the box is tried every 2 s.
constexpr int kWaitLineSeconds = 10;

Json PathOrNull(const std::filesystem::path& path) {
    return path.empty() ? Json(nullptr) : Json(path.string());
}

}  // namespace

CliUpdate::CliUpdate(const CliContext& context) : context_(context), output_(context.output) {}

void CliUpdate::StepStarting(UpdateStep step) {
    step_ = step;
    output_.Detail("%s...", WordsOf(step).title);
}

void CliUpdate::StepDone(const StepOutcome& outcome) {
    const std::string text = OutcomeText(outcome, context_.ShownStore());
    if (IsFailure(outcome.result)) {
        output_.Error(CliClient::kExitFailed, "%s: %s", WordsOf(outcome.step).title, text.c_str());
    } else {
        output_.Line("%s: %s\n", WordsOf(outcome.step).title, text.c_str());
    }
}

void CliUpdate::Waiting(int seconds, int bound) {
    if (shownWait_ < 0 || seconds >= shownWait_ + kWaitLineSeconds) {
        shownWait_ = seconds;
        output_.Info("%s", WaitingText(seconds, bound).c_str());
    }
}

void CliUpdate::FileStarting(int index, int count, const std::string& name) {
    TerminalLog::FileStarting(name, index, count);
}

void CliUpdate::FileDone(const FileReport& file) {
    if (IsFailure(file)) {
        output_.Note("%s: %s: %s", QuoteForMessage(file.name).c_str(), FileResultName(file.result),
                     file.message.c_str());
    }
    // The files put back are the document's files; the backups' and the
    // compare's are told by their folders and the changes.
    if (step_ == UpdateStep::kPutBack) {
        output_.File(file);
    }
}

bool CliUpdate::StopRequested() {
    if (stop_.load() && !stopTold_) {
        stopTold_ = true;
        output_.Note("stopping after the %s under way (Ctrl+C again ends at once)",
                     WordsOf(step_).title);
    }
    return stop_.load();
}

void CliUpdate::Tell(const UpdateOutcome& outcome) {
    Json steps = Json::array();
    for (const StepOutcome& s : outcome.steps) {
        steps.push_back({{"step", WordsOf(s.step).json},
                         {"result", WordsOf(s.result).json},
                         {"failed", IsFailure(s.result)},
                         {"message", OutcomeText(s, context_.ShownStore())}});
    }
    output_.Value("steps", steps);
    output_.Value("backup_before", PathOrNull(outcome.backupBefore));
    output_.Value("backup_after", PathOrNull(outcome.backupAfter));
    Json said = Json::array();
    for (const BoxWaitMessage& m : outcome.boxSaid) {
        const bool hasPercent = m.percent >= 0 && m.percent <= 100;
        said.push_back({{"text", m.text},
                        {"percent", hasPercent ? Json(m.percent) : Json(nullptr)},
                        {"status", m.status}});
    }
    output_.Value("box_said", said);
    Json changes = Json::array();
    for (const FileReport& f : outcome.changes) {
        Json entry = CliOutput::NamedEntry(f.name);
        entry["result"] = FileResultName(f.result);
        changes.push_back(entry);
    }
    output_.Value("changes", changes);
}

int CliUpdate::Run(const CliBoxLink* box) {
    const CliOptions& o = context_.options;
    UpdateRequest request;
    request.firmware = std::filesystem::absolute(context_.InDirectory(o.names.front()));
    request.keepGroups = o.keepGroups;
    request.waitSeconds = o.waitSeconds;
    request.dryRun = o.dryRun;
    request.backupAfter = !o.noBackupAfter;
    output_.Flag("dry_run", o.dryRun);
    const BoxSocket& socket = *box->session.Socket();
    const BoxLink link{socket.Host(), socket.Port(), box->password};
    const FirmwareUpdate update(request, context_.Store().Root(), context_.box, link,
                                context_.directory);
    SignalCleanup::StopFirstBy(&stop_);
    const UpdateOutcome outcome = update.Run(box->session, box->listed, *this);
    SignalCleanup::StopFirstBy(nullptr);
    Tell(outcome);
    return outcome.Succeeded() ? CliClient::kExitOk : CliClient::kExitFailed;
}
