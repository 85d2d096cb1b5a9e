#include "cli/CliCompare.h"

#include "backup/BoxCompare.h"
#include "backup/CompareWords.h"
#include "base/TextEscape.h"
#include "cli/CliBackupSource.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"

CliCompare::CliCompare(const CliContext& context) : context_(context), output_(context.output) {}

int CliCompare::Check() {
    return CliBackupSource::Open(context_, &source_);
}

void CliCompare::FileStarting(int index, int count, const std::string& name) {
    TerminalLog::FileStarting(name, index, count);
}

void CliCompare::FileDone(const FileReport& file) {
    // One line per file, its name escaped as list shows it.
    output_.Line("%s %s\n", FileResultName(file.result), EscapeControls(file.name).c_str());
    if (!file.message.empty()) {
        output_.Note("%s: %s", QuoteForMessage(file.name).c_str(), file.message.c_str());
    }
    output_.File(file);
}

int CliCompare::Run(const CliBoxLink* box) {
    const CompareOutcome outcome =
        BoxCompare::Run(box->session, box->listed, source_->Contents(), *this, source_->Names());
    if (outcome.linkLost) {
        output_.Note("%s; stopping", CompareWords::kLinkLost);
    }
    output_.Flag("same", outcome.AllSame());
    output_.Info("%s", CompareWords::Summary(outcome, source_->Given().string()).c_str());
    return outcome.AllSame() ? CliClient::kExitOk : CliClient::kExitFailed;
}
