#include "history/GitWords.h"

namespace {

struct StatusWords {
    GitOutcome::Status status;
    bool succeeded;
    const char* before;               // the repository
    const char* after;                // then the detail
    std::string GitOutcome::*detail;  // the commit's id, or why; none
};

constexpr const char* kNotCommitted = "the backup is complete but was not committed to ";

constexpr StatusWords kStatuses[] = {
    {GitOutcome::Status::kCommitted, true, "committed to ", " as ", &GitOutcome::commit},
    {GitOutcome::Status::kUnchanged, true, "", " already holds these files: no commit", nullptr},
    {GitOutcome::Status::kNoGit, false, kNotCommitted, ": ", &GitOutcome::why},
    {GitOutcome::Status::kFailed, false, kNotCommitted, ": ", &GitOutcome::why},
};

const StatusWords& WordsOf(GitOutcome::Status status) {
    for (const StatusWords& w : kStatuses) {
        if (w.status == status) {
            return w;
        }
    }
    return kStatuses[3];  // outside the enum: not known to be committed
}

}  // namespace

std::string GitWords::Text(const GitOutcome& outcome, const std::string& shownRepository) {
    const StatusWords& w = WordsOf(outcome.status);
    return w.before + shownRepository + w.after + (w.detail == nullptr ? "" : outcome.*w.detail);
}

bool GitWords::Succeeded(const GitOutcome& outcome) {
    return WordsOf(outcome.status).succeeded;
}
