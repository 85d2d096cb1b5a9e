#include "cli/CliRestore.h"

#include "backup/BoxRestore.h"
#include "base/TextEscape.h"
#include "cli/CliClient.h"

namespace fs = std::filesystem;

CliRestore::CliRestore(const CliOptions& options, fs::path folder, FILE* out, FILE* err)
    : options_(options), folder_(std::move(folder)), out_(out), err_(err) {}

void CliRestore::FileDone(const FileReport& file) {
    const std::string name = QuoteForMessage(file.name);
    switch (file.result) {
        case FileResult::kFailed:
            std::fprintf(err_, "velqo-cli: %s: %s\n", name.c_str(), file.message.c_str());
            break;
        case FileResult::kSkipped:
            std::fprintf(err_, "velqo-cli: %s: %s; skipped\n", name.c_str(), file.message.c_str());
            break;
        case FileResult::kWouldSend:
            std::fprintf(out_, "would send %s (%llu byte(s))\n", name.c_str(),
                         static_cast<unsigned long long>(file.size));
            break;
        case FileResult::kSent:
            if (!file.message.empty()) {
                std::fprintf(err_, "velqo-cli: %s: %s\n", name.c_str(), file.message.c_str());
            }
            break;
        default:
            break;
    }
}

bool CliRestore::CheckBackup() {
    checking_ = true;
    const BackupContents::Check check = backup_.Load(
        options_.directory.empty() ? folder_ : fs::path(options_.directory) / folder_, this);
    checking_ = false;
    if (check == BackupContents::Check::kUnusable) {
        std::fprintf(err_, "velqo-cli: %s is not a usable backup: %s: %s\n",
                     folder_.string().c_str(), (folder_ / backup_.ErrorFile()).string().c_str(),
                     backup_.Error().c_str());
        return false;
    }
    if (check == BackupContents::Check::kDamaged) {
        std::string names;
        for (const std::string& f : backup_.Failing()) {
            names += (names.empty() ? "" : ", ") + QuoteForMessage(f);
        }
        std::fprintf(err_, "velqo-cli: the backup in %s is damaged (%s); nothing was sent\n",
                     folder_.string().c_str(), names.c_str());
        return false;
    }
    std::string missing;
    if (!RestorePlan::Make(backup_, options_.names, &plan_, &missing)) {
        std::fprintf(err_, "velqo-cli: %s: not in the backup; nothing was sent\n",
                     QuoteForMessage(missing).c_str());
        return false;
    }
    if (backup_.Incomplete()) {
        std::fprintf(err_,
                     "velqo-cli: note: %s is an incomplete backup (see its INCOMPLETE); "
                     "restoring the files it holds\n",
                     folder_.string().c_str());
    }
    return true;
}

int CliRestore::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                    ReadBackVerifier* verifier) {
    const RestoreOutcome outcome =
        BoxRestore::Run(session, listed, backup_, plan_, {options_.dryRun, verifier}, *this);
    if (outcome.linkLost) {
        std::fprintf(err_, "velqo-cli: the link to the box is lost; stopping\n");
    }
    std::fflush(out_);
    // Read back, only what was found equal counts as restored.
    const bool verifying = verifier != nullptr && !options_.dryRun;
    std::string summary = std::string(options_.dryRun ? "would restore " : "restored ") +
                          std::to_string(verifying ? outcome.verified : outcome.sent) + " of " +
                          std::to_string(plan_.Files().size()) + " file(s) from " +
                          folder_.string() + (verifying ? ", verified" : "");
    const std::pair<int, const char*> counts[] = {
        {verifying ? outcome.verifyFailed : 0, " FAILED verification"},
        {verifying ? outcome.notVerified : 0, " sent but not verified"},
        {outcome.skipped, " skipped"},
        {outcome.uploadFailed, " failed"},
    };
    for (const auto& [n, what] : counts) {
        if (n > 0 || what == counts[2].second) {
            summary += ", " + std::to_string(n) + what;
        }
    }
    std::fprintf(err_, "velqo-cli: %s\n", summary.c_str());
    return outcome.failed ? CliClient::kExitFailed : CliClient::kExitOk;
}
