#pragma once
// What a firmware update did, step by step, as data: each step's result is
// one value with its details, and the words for people come from one table
// (UpdateWords). The command line, its JSON and a window all read this.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/FileReport.h"
#include "box/BoxSession.h"

// In the order they run.
enum class UpdateStep {
    kCheck,        // the local file, the box's list, a complete checked backup
    kSend,         // the upload and the box's processing messages
    kWaitForBox,   // the box restarts: connect and log in again
    kCompare,      // the box against the backup made first
    kPutBack,      // the kept groups' changed files sent back, read back
    kBackUpAgain,  // a second backup, the box after the update
};

enum class StepResult {
    // kCheck
    kChecked,
    kNoLocalFile,     // file: the path; why: the system's reason
    kNotRegularFile,  // file; why: what it is
    kNotPlainName,    // file: the name
    kNotListed,       // file: the name
    kGroupNotListed,  // names: the groups asked for that the box does not list
    kBackupFailed,    // folder (may be empty); why
    // kSend
    kSent,           // the box said its processing is done
    kSentNoVerdict,  // the box ended the link before it said whether it worked
    kWouldSend,      // a dry run: nothing was sent; file, seconds: the wait's bound
    kSendRefused,    // why: the box's text
    kSendFailed,     // why: the link or the local file
    kBoxFailed,      // why: the box's last message
    // kWaitForBox
    kBack,             // seconds: how long it took
    kNeverBack,        // seconds: the bound; why: the last attempt's reason
    kPasswordRefused,  // why: the box's text, if any
    kNeedsNewerTool,   // why: the version the box needs
    kNoList,           // logged in, but the box sent no file list
    // kCompare
    kCompared,       // count: the files the update changed
    kCompareFailed,  // why
    // kPutBack
    kPutBack,        // count: the files sent back and verified
    kNothingToKeep,  // none of the kept groups' files changed
    kNotKept,        // names: changed files that --keep-group would put back
    kPutBackFailed,  // count: the files that failed
    // kBackUpAgain
    kBackedUp,           // folder
    kNotBackedUpAgain,   // asked not to
    kBackupAfterFailed,  // folder (may be empty); why
    // any step
    kStopped,  // asked to stop before the step ran
};

struct StepOutcome {
    UpdateStep step = UpdateStep::kCheck;
    StepResult result = StepResult::kChecked;
    std::string file{};
    std::filesystem::path folder{};
    std::string why{};
    std::vector<std::string> names{};
    int seconds = 0;
    int count = 0;
};

struct UpdateOutcome {
    std::vector<StepOutcome> steps;  // those that ran, in order
    std::filesystem::path backupBefore;
    std::filesystem::path backupAfter;  // empty when none was made
    std::vector<BoxWaitMessage> boxSaid;   // the processing messages
    std::vector<FileReport> changes;    // differs, only-on-box (new), missing-on-box (gone)
    std::vector<FileReport> putBack;    // the files sent back, with their read-back
    bool dryRun = false;

    // The step that failed or was stopped; null when each one worked.
    const StepOutcome* Failure() const;
    bool Succeeded() const { return Failure() == nullptr; }
};
