#pragma once
// `velqo-cli update FIRMWARE`: the update's steps (update/FirmwareUpdate.h)
// as they go: each step's sentence on stdout, a failure's on stderr and as
// the document's "error", the box's messages as the session's log lines,
// and the wait for the box as a line every few seconds. Ctrl+C asks the
// update to stop between steps (a second one ends at once).
#include <atomic>
#include <string>

#include "cli/CliCommand.h"
#include "update/UpdateReport.h"

class CliOutput;
struct CliContext;

class CliUpdate : public CliCommand, private UpdateReport {
public:
    explicit CliUpdate(const CliContext& context);
    int Run(const CliBoxLink* box) override;

private:
    void StepStarting(UpdateStep step) override;
    void StepDone(const StepOutcome& outcome) override;
    void Waiting(int seconds, int bound) override;
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    bool StopRequested() override;
    // The document's parts once the update has ended.
    void Tell(const UpdateOutcome& outcome);

    const CliContext& context_;
    CliOutput& output_;
    UpdateStep step_ = UpdateStep::kCheck;
    int shownWait_ = -1;  // seconds of the last waiting line
    std::atomic<bool> stop_{false};
    bool stopTold_ = false;
};
