#include "backup/PruneWords.h"

namespace {

struct LineWords {
    PruneWords::Kind kind;
    const char* key;
    const char* before;  // the folder
    const char* after;   // then why, if any
};

constexpr LineWords kLines[] = {
    {PruneWords::Kind::kRemoved, nullptr, "removed the old backup ", ""},
    {PruneWords::Kind::kKept, "kept", "warning: the old backup is removed, but ",
     " still holds what it did not make, kept: "},
    {PruneWords::Kind::kNotRemoved, "not_removed", "cannot remove the old backup ", ": "},
};

const LineWords& WordsOf(PruneWords::Kind kind) {
    for (const LineWords& w : kLines) {
        if (w.kind == kind) {
            return w;
        }
    }
    return kLines[2];  // outside the enum: not known to be gone
}

std::string Shown(const std::filesystem::path& shownStore, const std::filesystem::path& folder) {
    return (shownStore / folder.filename()).string();
}

}  // namespace

std::string PruneWords::Line(Kind kind, const std::filesystem::path& shownStore,
                             const std::filesystem::path& folder, const std::string& why) {
    const LineWords& w = WordsOf(kind);
    return w.before + Shown(shownStore, folder) + w.after + why;
}

const char* PruneWords::Key(Kind kind) {
    return WordsOf(kind).key;
}

std::string PruneWords::Deferred(const PruneOutcome& outcome) {
    return outcome.deferred.empty() ? "" : "no old backup removed now: " + outcome.deferred;
}

std::string PruneWords::Problem(const PruneOutcome& outcome,
                                const std::filesystem::path& shownStore) {
    if (!outcome.notTried.empty()) {
        return "the backup is complete, but no old backup was removed from " + shownStore.string() +
               ": " + outcome.notTried;
    }
    if (!outcome.failed.empty()) {
        const PruneOutcome::Problem& first = outcome.failed.front();
        return "the backup is complete, but " + std::to_string(outcome.failed.size()) +
               " old backup(s) could not be removed: " + Shown(shownStore, first.folder) + ": " +
               first.why;
    }
    return "";
}
