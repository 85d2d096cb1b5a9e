#pragma once
// `velqo-cli compare BACKUP [NAME...]`: the library's compare of a checked
// backup with the box, printed one line per file on stdout ("same NAME",
// "differs NAME", "missing-on-box NAME", "only-on-box NAME", "failed NAME").
#include <string>
#include <vector>

#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"

class BoxSession;
class CliBackupSource;
class CliOutput;

class CliCompare : private WholeBoxReport {
public:
    CliCompare(const CliBackupSource& source, CliOutput& output);
    // Returns the process exit status: 0 when every file is the same.
    int Run(BoxSession& session, const std::vector<wire::ListRecord>& listed);

private:
    void FileStarting(int index, int count, const std::string& name) override;
    void FileDone(const FileReport& file) override;

    const CliBackupSource& source_;
    CliOutput& output_;
};
