#include "update/UpdateWords.h"

#include <cctype>
#include <utility>

#include "base/ShellQuote.h"
#include "base/TextEscape.h"
#include "box/BoxDefaults.h"

namespace {

constexpr StepWords kSteps[] = {
    {UpdateStep::kCheck, "check", "check", "nothing was sent"},
    {UpdateStep::kSend, "send", "send", "nothing was sent; the backup is in {folder}"},
    {UpdateStep::kWaitForBox, "wait", "wait for the box",
     "the box holds the update and may be restarting; its settings may have been reset: compare "
     "it with velqo-cli compare {folder}"},
    {UpdateStep::kCompare, "compare", "compare",
     "the box holds the update; compare it with velqo-cli compare {folder}"},
    {UpdateStep::kPutBack, "put-back", "put back",
     "the box holds the update and nothing was put back; compare it with velqo-cli compare "
     "{folder}"},
    {UpdateStep::kBackUpAgain, "backup-after", "back up again",
     "the box holds the update; no backup after it was made"},
};

constexpr ResultWords kResults[] = {
    {StepResult::kChecked, "checked", false, "the box lists {file}; complete backup in {folder}"},
    {StepResult::kNoLocalFile, "no-local-file", true,
     "cannot read the firmware file {file}: {why}; nothing was sent"},
    {StepResult::kNotRegularFile, "not-a-file", true,
     "the firmware file {file} is {why}, not a regular file; nothing was sent"},
    {StepResult::kNotPlainName, "bad-name", true,
     "{file} is no name the box can take; nothing was sent"},
    {StepResult::kNotListed, "not-listed", true,
     "the box does not list {file}: a firmware file is sent under a name the box lists; nothing "
     "was sent"},
    {StepResult::kGroupNotListed, "group-not-listed", true,
     "the box lists no group {names}; nothing was sent"},
    {StepResult::kBackupFailed, "backup-failed", true,
     "the backup before the update is not complete: {why}; nothing was sent"},
    {StepResult::kSent, "sent", false, "{file} sent; the box says its processing is done"},
    {StepResult::kSentNoVerdict, "sent-no-verdict", false,
     "{file} sent; the box ended the link before it said whether the update worked"},
    {StepResult::kWouldSend, "would-send", false,
     "dry run: would send {file}, wait up to {seconds} s for the box to come back, compare it "
     "with the backup in {folder} and put back what was asked; nothing was sent"},
    {StepResult::kSendRefused, "refused", true,
     "the box refused {file}: \"{why}\"; the box is as it was, the backup is in {folder}"},
    {StepResult::kSendFailed, "send-failed", true,
     "sending {file} failed: {why}; the box may hold part of it: check it, and compare it with "
     "velqo-cli compare {folder}"},
    {StepResult::kBoxFailed, "box-failed", true,
     "the box rejected the update: \"{why}\"; it said so before anything was changed, the backup "
     "is in {folder}: check the firmware file and try again"},
    {StepResult::kBack, "back", false, "the box is back after {seconds} s and took the password"},
    {StepResult::kNeverBack, "never-back", true,
     "the box did not come back within {seconds} s ({why}); it may still be updating: once it "
     "answers, compare it with velqo-cli compare {folder}"},
    {StepResult::kPasswordRefused, "password-refused", true,
     "the box refused the password after the update (it said \"{why}\"): an update may reset it to "
     "the factory "
     "password ({factory}); with the box's password, compare it with velqo-cli compare {folder}"},
    {StepResult::kNeedsNewerTool, "needs-newer-tool", true,
     "after the update the box needs a tool for version {why}; the backup is in {folder}"},
    {StepResult::kNoList, "no-list", true,
     "the box is back but did not send its file list; the backup is in {folder}"},
    {StepResult::kCompared, "compared", false, "the update changed {count} file(s)"},
    {StepResult::kCompareFailed, "compare-failed", true,
     "the box could not be compared with the backup in {folder}: {why}"},
    {StepResult::kPutBack, "put-back", false,
     "put back {count} file(s): {names}, each read back and verified"},
    {StepResult::kNothingToKeep, "nothing-to-put-back", false,
     "nothing to put back: the update changed none of the kept files"},
    {StepResult::kNotKept, "not-kept", false,
     "the update changed {names}; put them back with: velqo-cli restore --changed-only --verify "
     "{folder} {args}"},
    {StepResult::kPutBackFailed, "put-back-failed", true,
     "{count} file(s) could not be put back; the backup is in {folder}"},
    {StepResult::kBackedUp, "backed-up", false, "backup after the update complete in {folder}"},
    {StepResult::kNotBackedUpAgain, "not-backed-up", false, "no backup after the update, as asked"},
    {StepResult::kBackupAfterFailed, "backup-after-failed", true,
     "the backup after the update is not complete: {why}"},
    {StepResult::kStopped, "stopped", true, "stopped at the step {step}: {stopped}"},
};

// A name as a POSIX shell reads it back: as it is when plain, else quoted.
std::string ShellWord(const std::string& name) {
    bool plain = !name.empty();
    for (const char c : name) {
        plain = plain && (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' ||
                          c == '_' || c == '-' || c == '+');
    }
    return plain ? name : SingleQuoted(name);
}

void Fill(std::string* text, const std::string& key, const std::string& value) {
    for (size_t at = text->find(key); at != std::string::npos;
         at = text->find(key, at + value.size())) {
        text->replace(at, key.size(), value);
    }
}

}  // namespace

const StepWords& WordsOf(UpdateStep step) {
    for (const StepWords& w : kSteps) {
        if (w.step == step) {
            return w;
        }
    }
    return kSteps[0];
}

const ResultWords& WordsOf(StepResult result) {
    for (const ResultWords& w : kResults) {
        if (w.result == result) {
            return w;
        }
    }
    return kResults[std::size(kResults) - 1];  // outside the enum: nothing is known to have worked
}

bool IsFailure(StepResult result) {
    return WordsOf(result).failure;
}

std::string OutcomeText(const StepOutcome& outcome, const std::filesystem::path& shownStore) {
    std::string text = WordsOf(outcome.result).text;
    // The stopped text first: it holds the folder too.
    Fill(&text, "{stopped}", WordsOf(outcome.step).stoppedBefore);
    Fill(&text, "{step}", WordsOf(outcome.step).title);
    const std::filesystem::path folder = shownStore.empty() || outcome.folder.empty()
                                             ? outcome.folder
                                             : shownStore / outcome.folder.filename();
    std::string names;
    std::string args;
    for (const std::string& name : outcome.names) {
        names += (names.empty() ? "" : ", ") + QuoteForMessage(name);
        args += (args.empty() ? "" : " ") + EscapeControls(ShellWord(name));
    }
    const std::pair<const char*, std::string> details[] = {
        {"{file}", QuoteForMessage(outcome.file)},
        {"{folder}", folder.empty() ? std::string("(none)") : folder.string()},
        {"{why}", EscapeControls(outcome.why)},  // often the box's own text
        {"{names}", names},
        {"{args}", args},
        {"{seconds}", std::to_string(outcome.seconds)},
        {"{count}", std::to_string(outcome.count)},
        {"{factory}", box_defaults::kPassword},
    };
    for (const auto& [key, value] : details) {
        Fill(&text, key, value);
    }
    return text;
}

std::string WaitingText(int seconds, int bound) {
    return "waiting for the box: " + std::to_string(seconds) + " s of " + std::to_string(bound);
}
