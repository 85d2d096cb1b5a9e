#pragma once
// `velqo-cli get NAME...` and `put NAME...`: each name on the box's list
// downloaded into DIR or uploaded from it, one result each; after a refused
// or failed name the others are still tried, until the link is lost.
#include <memory>
#include <string>
#include <vector>

#include "backup/FileReport.h"
#include "backup/ReadBackVerifier.h"
#include "cli/CliCommand.h"
#include "cli/CliInterruption.h"

struct CliContext;

class CliTransfer : public CliCommand {
public:
    explicit CliTransfer(const CliContext& context);
    // put: a file that is not there is said before the box is even asked.
    int Check() override;
    int Run(const CliBoxLink* box) override;

private:
    // False, after saying so, when the name exists but is no regular file:
    // reading it would fail after the box had accepted the upload.
    bool IsUploadable(const std::string& name, FileReport* file);
    // One name; false when the link is gone and no further transfer can run.
    bool Transfer(const CliBoxLink& box, const std::string& name, bool* failed);

    const CliContext& context_;
    std::vector<FileReport> unreadable_;             // put: files not there, already said
    std::unique_ptr<ReadBackVerifier> verifier_;     // put --verify only
    std::unique_ptr<CliInterruption> interruption_;  // put, while files are sent
};
