#include "cli/CliBackupReport.h"

#include <nlohmann/json.hpp>

#include "base/TextEscape.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "history/BackupIndex.h"
#include "history/GitHistory.h"
#include "history/GitWords.h"

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
    const std::string text = GitWords::Text(outcome, shown);
    const bool succeeded = GitWords::Succeeded(outcome);
    if (succeeded) {
        output_.Info("%s", text.c_str());
    } else {
        output_.Note("%s", text.c_str());
        git["error"] = outcome.why;
    }
    if (outcome.status == GitOutcome::Status::kCommitted) {
        git["commit"] = outcome.commit;
    }
    output_.Value("git", git);
    return succeeded;
}
