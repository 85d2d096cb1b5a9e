#pragma once
// `velqo-cli restore BACKUP [NAME...]`: a backup folder made by `backup`
// uploaded back to the box. Every file is checked against SHA256SUMS before
// the box is even contacted; then the files the box lists are sent in
// manifest order, in one session.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

class BoxSession;
class FileCatalog;
class UploadVerifier;

class CliRestore {
public:
    CliRestore(const CliOptions& options, FILE* out, FILE* err);

    // Reads and checks the backup; false (having said why) when it is
    // damaged or lacks a named file, and then nothing may be sent.
    bool CheckBackup();
    // Returns the process exit status. `verifier`: null unless --verify.
    int Run(BoxSession& session, const FileCatalog& catalog, UploadVerifier* verifier);

private:
    struct Planned {
        std::string name;
        bool named;  // given on the command line
    };

    const CliOptions& options_;
    std::filesystem::path folder_;
    std::vector<Planned> plan_;  // manifest order, each name once
    FILE* out_;                  // not owned
    FILE* err_;                  // not owned
};
