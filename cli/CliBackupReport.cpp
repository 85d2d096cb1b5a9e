#include "cli/CliBackupReport.h"

#include <nlohmann/json.hpp>

#include "base/TextEscape.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "history/BackupIndex.h"
#include "history/GitHistory.h"

using Json = nlohmann::ordered_json;

CliBackupReport::CliBackupReport(const CliOptions& options, const BackupStore& store,
                                 const std::filesystem::path& made, CliOutput& output)
    : options_(options), made_(made), output_(output) {
    BackupName::Parse(made.filename().string(), &name_);
    for (const StoredBackup& b : store.ListOf(name_.box)) {
        if (!b.state.Complete() || !b.name.IsOlderThan(name_)) {
            continue;
        }
        BackupIndex before;
        BackupIndex after;
        if (!before.Load(b.folder, &problem_) || !after.Load(made, &problem_)) {
            problem_ = "cannot tell what changed: " + problem_;
        } else {
            changes_ = BackupChanges::Between(before, after, true);
        }
        first_ = false;
        break;
    }
}

bool CliBackupReport::Report() {
    // Asked for with --report: told at -q too, as a scheduled run's log is.
    if (!problem_.empty()) {
        output_.Note("%s", problem_.c_str());
    } else if (first_) {
        output_.Note("the first complete backup of %s", name_.box.Text().c_str());
    } else if (changes_.empty()) {
        output_.Note("nothing changed since the previous complete backup");
    }
    Json changes = Json::array();
    for (const FileChange& c : changes_) {
        output_.Note("%s %s", FileDiff::StateWord(c.state), EscapeControls(c.name).c_str());
        Json change = CliOutput::NamedEntry(c.name);
        change["result"] = FileDiff::StateWord(c.state);
        changes.push_back(change);
    }
    output_.Value("changes", first_ ? Json(nullptr) : changes);
    return problem_.empty();
}

bool CliBackupReport::Commit(const std::filesystem::path& repository) {
    const GitOutcome outcome = GitHistory(repository, options_.gitExclude).Commit(made_, name_);
    const std::string shown = QuoteForMessage(options_.git);
    Json git = {{"repository", options_.git}, {"commit", nullptr}};
    switch (outcome.status) {
        case GitOutcome::Status::kCommitted:
            output_.Info("committed to %s as %s", shown.c_str(), outcome.commit.c_str());
            git["commit"] = outcome.commit;
            break;
        case GitOutcome::Status::kUnchanged:
            output_.Info("%s already holds these files: no commit", shown.c_str());
            break;
        case GitOutcome::Status::kNoGit:
        case GitOutcome::Status::kFailed:
            output_.Note("the backup is complete but was not committed to %s: %s", shown.c_str(),
                         outcome.why.c_str());
            git["error"] = outcome.why;
            break;
    }
    output_.Value("git", git);
    return outcome.status == GitOutcome::Status::kCommitted ||
           outcome.status == GitOutcome::Status::kUnchanged;
}
