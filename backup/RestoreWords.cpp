#include "backup/RestoreWords.h"

#include "backup/CompareWords.h"
#include "base/TextEscape.h"

namespace {

enum class Told {
    kWhenCounted,      // when not zero
    kAlways,           // zero too
    kWhenVerifying,    // when not zero, and only when read back
    kWhenChangedOnly,  // zero too, when the box was compared first
};

struct CountWords {
    int RestoreOutcome::*count;
    const char* words;
    Told told;
};

constexpr CountWords kCounts[] = {
    {&RestoreOutcome::verifyFailed, "FAILED verification", Told::kWhenVerifying},
    {&RestoreOutcome::notVerified, "sent but not verified", Told::kWhenVerifying},
    {&RestoreOutcome::skipped, "skipped", Told::kAlways},
    {&RestoreOutcome::uploadFailed, "failed", Told::kWhenCounted},
    {&RestoreOutcome::notTried, "not tried", Told::kWhenCounted},
    {&RestoreOutcome::unchanged, "unchanged", Told::kWhenChangedOnly},
};

struct NotStartedWords {
    RestoreWords::NotStarted why;
    const char* text;
};

constexpr NotStartedWords kNotStarted[] = {
    {RestoreWords::NotStarted::kNoList,
     "no restore: the box's list of files could not be read; nothing was sent"},
    {RestoreWords::NotStarted::kNotCompared,
     "no restore: the box's files could not be compared; nothing was sent"},
    {RestoreWords::NotStarted::kStoppedComparing,
     "restore stopped while comparing: nothing was sent"},
    {RestoreWords::NotStarted::kCancelled, "restore cancelled: nothing was sent"},
};

bool IsTold(Told told, int n, bool verifying, bool changedOnly) {
    switch (told) {
        case Told::kWhenCounted:
            return n > 0;
        case Told::kAlways:
            return true;
        case Told::kWhenVerifying:
            return verifying && n > 0;
        case Told::kWhenChangedOnly:
            return changedOnly;
    }
    return true;
}

}  // namespace

std::string RestoreWords::Summary(const RestoreOutcome& outcome, const Facts& facts) {
    const bool verifying = facts.verifying && !facts.dryRun;
    std::string text = std::string(facts.dryRun ? "would restore " : "restored ") +
                       std::to_string(verifying ? outcome.verified : outcome.sent) + " of " +
                       std::to_string(facts.planned) + " file(s) from " + facts.shownBackup +
                       (verifying ? ", verified" : "");
    for (const CountWords& c : kCounts) {
        const int n = outcome.*c.count;
        if (IsTold(c.told, n, verifying, facts.changedOnly)) {
            text += ", " + std::to_string(n) + " " + c.words;
        }
    }
    if (!facts.failed.empty()) {
        text += "; failed: " + QuotedList(facts.failed);
    }
    if (outcome.stopped) {
        text += facts.notSent.empty() ? "; stopped"
                                      : "; stopped, not sent: " + QuotedList(facts.notSent);
    }
    return text;
}

std::string RestoreWords::Why(NotStarted why) {
    for (const NotStartedWords& w : kNotStarted) {
        if (w.why == why) {
            return w.text;
        }
    }
    return std::string("no restore; ") + kNothingSent;
}

std::string RestoreWords::NothingToSend(const CompareOutcome& compared) {
    return "nothing to restore: the box holds the backup's files (" +
           CompareWords::Counts(compared) + ")";
}

std::string RestoreWords::Unusable(const std::filesystem::path& shownBackup,
                                   const std::string& file, const std::string& why) {
    return shownBackup.string() + " is not a usable backup: " + (shownBackup / file).string() +
           ": " + why;
}

std::string RestoreWords::Damaged(const std::filesystem::path& shownBackup,
                                  const std::vector<std::string>& failing, const char* nothing) {
    return "the backup in " + shownBackup.string() + " is damaged (" + QuotedList(failing) + "); " +
           nothing;
}
