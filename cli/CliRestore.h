#pragma once
// `velqo-cli restore BACKUP [NAME...]`: the library's check of the backup
// and its restore, printed. Every file is checked against SHA256SUMS before
// the box is even contacted.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "backup/RestorePlan.h"
#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"
#include "cli/CliOptions.h"

class BoxSession;
class ReadBackVerifier;

class CliRestore : private WholeBoxReport {
public:
    // `folder`: the backup folder; the paths printed are the one the user gave.
    CliRestore(const CliOptions& options, std::filesystem::path folder, FILE* out, FILE* err);

    // Reads and checks the backup; false (having said why) when it is
    // damaged or lacks a named file, and then nothing may be sent.
    bool CheckBackup();
    // Returns the process exit status. `verifier`: null unless --verify.
    int Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
            ReadBackVerifier* verifier);

private:
    void FileDone(const FileReport& file) override;

    const CliOptions& options_;
    std::filesystem::path folder_;
    BackupContents backup_;
    RestorePlan plan_;
    bool checking_ = false;  // the backup's check is reporting, not the restore
    FILE* out_;              // not owned
    FILE* err_;              // not owned
};
