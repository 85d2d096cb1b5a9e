#include "backup/BackupWords.h"

#include "base/TextEscape.h"

std::string BackupWords::Problem(const BackupOutcome& outcome, const std::string& shownStore,
                                 const std::string& shownFolder,
                                 const std::vector<std::string>& notSaved) {
    switch (outcome.status) {
        case BackupOutcome::Status::kComplete:
            return "";
        case BackupOutcome::Status::kNoFolder:
            return "no backup: no folder can be made in " + shownStore +
                   (outcome.why.empty() ? "" : ": " + outcome.why);
        case BackupOutcome::Status::kNotStarted:
            return "no backup: nothing can be written in " + shownFolder;
        case BackupOutcome::Status::kIncomplete:
            break;
    }
    std::string text = "INCOMPLETE backup in " + shownFolder + ": " +
                       std::to_string(outcome.saved) + " of " + std::to_string(outcome.listed) +
                       " file(s) saved";
    if (!notSaved.empty()) {
        text += "; not saved: " + QuotedList(notSaved);
    }
    if (outcome.stopped) {
        text += "; the others were not reached";
    }
    if (!outcome.listProblem.empty()) {
        text += "; " + outcome.listProblem;
    }
    if (!outcome.unwritten.empty()) {
        std::vector<std::string> names;
        for (const auto& path : outcome.unwritten) {
            names.push_back(path.filename().string());
        }
        text += "; the backup's own files could not be written: " + QuotedList(names);
    }
    return text;
}
