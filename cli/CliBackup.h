#pragma once
// `velqo-cli backup`: the library's backup, printed: the folder's path on
// stdout, what failed and the summary on stderr.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/WholeBoxReport.h"
#include "box/WireFormat.h"

class BoxSession;

class CliBackup : private WholeBoxReport {
public:
    // `into`: where the backup folder is made; `shownInto`: the same as the
    // user gave it, as the paths printed start. `host`: the box's address as
    // given, part of the folder's name.
    CliBackup(std::filesystem::path into, std::filesystem::path shownInto, std::string host,
              FILE* out, FILE* err);
    // Returns the process exit status.
    int Run(BoxSession& session, const std::vector<wire::ListRecord>& listed);

private:
    void FileDone(const FileReport& file) override;

    std::filesystem::path into_;
    std::filesystem::path shownInto_;
    std::string host_;
    FILE* out_;  // not owned
    FILE* err_;  // not owned
};
