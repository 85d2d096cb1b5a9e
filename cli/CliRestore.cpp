#include "cli/CliRestore.h"

#include <string>

#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "cli/CliBackupSource.h"
#include "cli/CliClient.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"

namespace {

// The names a compare found the same on the box.
struct SameFiles : WholeBoxReport {
    void FileStarting(int index, int count, const std::string& name) override {
        TerminalLog::FileStarting(name, index, count);
    }
    void FileDone(const FileReport& file) override {
        if (file.result == FileResult::kSame) {
            names.push_back(file.name);
        }
    }
    std::vector<std::string> names;
};

}  // namespace

CliRestore::CliRestore(const CliOptions& options, CliBackupSource& source, CliOutput& output)
    : options_(options), source_(source), output_(output) {}

void CliRestore::FileStarting(int index, int count, const std::string& name) {
    TerminalLog::FileStarting(name, index, count);
}

void CliRestore::FileDone(const FileReport& file) {
    output_.File(file);
    switch (file.result) {
        case FileResult::kSkipped:
            output_.Note("%s: %s; skipped", file.name.c_str(), file.message.c_str());
            break;
        case FileResult::kWouldSend:
            output_.Line("would send %s (%lld byte(s))\n", file.name.c_str(),
                         static_cast<long long>(file.size));
            break;
        case FileResult::kUnchanged:
            output_.Detail("%s: the box holds it as in the backup; not sent", file.name.c_str());
            break;
        case FileResult::kSent:
            if (file.verified == Verified::kYes) {
                output_.Info("%s: %s", file.name.c_str(), file.message.c_str());
            } else if (!file.message.empty()) {
                output_.Note("%s: %s", file.name.c_str(), file.message.c_str());
            }
            break;
        default:
            // A failed upload has been told by the session's own lines.
            break;
    }
}

void CliRestore::MarkUnchanged(BoxSession& session, const std::vector<wire::ListRecord>& listed) {
    SameFiles same;
    BoxCompare::Run(session, listed, source_.Contents(), same, source_.Names());
    for (const std::string& name : same.names) {
        source_.Plan().MarkUnchanged(name);
    }
}

int CliRestore::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                    ReadBackVerifier* verifier) {
    output_.Flag("dry_run", options_.dryRun);
    if (options_.changedOnly) {
        MarkUnchanged(session, listed);
    }
    const RestoreOutcome outcome = BoxRestore::Run(
        session, listed, source_.Contents(), source_.Plan(), {options_.dryRun, verifier}, *this);
    if (outcome.linkLost) {
        output_.Note("the link to the box is lost; stopping");
    }
    output_.Flag("changed", outcome.sent > 0);
    const std::string unchanged =
        options_.changedOnly ? ", " + std::to_string(outcome.unchanged) + " unchanged" : "";
    output_.Info("%s %d of %zu file(s) from %s, %d skipped%s",
                 options_.dryRun ? "would restore" : "restored", outcome.sent,
                 source_.Plan().Files().size(), source_.Given().string().c_str(), outcome.skipped,
                 unchanged.c_str());
    return outcome.failed ? CliClient::kExitFailed : CliClient::kExitOk;
}
