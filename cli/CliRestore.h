#pragma once
// `velqo-cli restore BACKUP [NAME...]`: the library's restore of a checked
// backup, printed. With --changed-only the library's compare runs first, in
// the same session, and only the files that differ on the box are sent.
#include <string>
#include <vector>

#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"
#include "cli/CliOptions.h"

class BoxSession;
class CliBackupSource;
class CliOutput;
class ReadBackVerifier;

class CliRestore : private WholeBoxReport {
public:
    CliRestore(const CliOptions& options, CliBackupSource& source, CliOutput& output);

    // Returns the process exit status. `verifier`: null unless --verify.
    int Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
            ReadBackVerifier* verifier);

private:
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;
    // Marks in the plan the files the box already holds as in the backup, and
    // those that could not be compared.
    void MarkUnchanged(BoxSession& session, const std::vector<wire::ListRecord>& listed);

    const CliOptions& options_;
    CliBackupSource& source_;
    CliOutput& output_;
};
