#include "cli/CliBackup.h"

#include "backup/BoxBackup.h"
#include "base/TextEscape.h"
#include "cli/CliClient.h"

namespace fs = std::filesystem;

CliBackup::CliBackup(fs::path into, fs::path shownInto, std::string host, FILE* out, FILE* err)
    : into_(std::move(into)),
      shownInto_(std::move(shownInto)),
      host_(std::move(host)),
      out_(out),
      err_(err) {}

void CliBackup::FileDone(const FileReport& file) {
    if (file.result == FileResult::kFailed) {
        std::fprintf(err_, "velqo-cli: %s: not saved: %s\n", QuoteForMessage(file.name).c_str(),
                     file.message.c_str());
    }
}

int CliBackup::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed) {
    const BackupOutcome outcome = BoxBackup(into_, host_).Run(session, listed, *this);
    if (outcome.status == BackupOutcome::Status::kNoFolder) {
        std::fprintf(err_, "velqo-cli: cannot make a backup folder in %s%s%s\n",
                     shownInto_.string().c_str(), outcome.why.empty() ? "" : ": ",
                     outcome.why.c_str());
        return CliClient::kExitFailed;
    }
    const fs::path shown = shownInto_ / outcome.folder.filename();
    for (const fs::path& file : outcome.unwritten) {
        std::fprintf(err_, "velqo-cli: cannot write %s\n",
                     (shown / file.filename()).string().c_str());
    }
    if (outcome.status == BackupOutcome::Status::kNotStarted) {
        return CliClient::kExitFailed;
    }
    std::fprintf(out_, "%s\n", shown.string().c_str());
    std::fflush(out_);
    if (!outcome.listProblem.empty()) {
        std::fprintf(err_, "velqo-cli: %s\n", outcome.listProblem.c_str());
    }
    if (outcome.status != BackupOutcome::Status::kComplete) {
        std::fprintf(err_, "velqo-cli: INCOMPLETE backup in %s: %zu of %zu file(s) saved\n",
                     shown.string().c_str(), outcome.saved, outcome.listed);
        return CliClient::kExitFailed;
    }
    std::fprintf(err_, "velqo-cli: backup of %zu file(s) complete in %s\n", outcome.saved,
                 shown.string().c_str());
    return CliClient::kExitOk;
}
