#pragma once
// `velqo-cli backup`: every file the box lists, downloaded in one session
// into a new folder HOST-YYYYMMDD-HHMMSS, with a manifest.txt that the
// substitute box can serve as it stands and a SHA256SUMS. A folder that
// lacks files holds the file INCOMPLETE, which names them; its manifest and
// checksums name only what was saved.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "box/WireFormat.h"

class BoxSession;

class CliBackup {
public:
    // The backup's own files; a box file of such a name cannot be saved beside them.
    static constexpr const char* kManifestName = "manifest.txt";
    static constexpr const char* kChecksumsName = "SHA256SUMS";
    static constexpr const char* kIncompleteName = "INCOMPLETE";

    // `into`: the folder in which the backup folder is made. `host`: the box's
    // address as given, part of the folder's name.
    CliBackup(std::filesystem::path into, std::string host, FILE* out, FILE* err);
    // Returns the process exit status.
    int Run(BoxSession& session, const std::vector<wire::ListRecord>& listed);

    // Whether `name` is one of the backup's own files (case does not matter,
    // as on Windows).
    static bool IsOwnFileName(const std::string& name);

private:
    bool MakeFolder();
    bool WriteText(const char* name, const std::string& text);

    std::filesystem::path into_;
    std::string host_;
    std::filesystem::path folder_;
    FILE* out_;  // not owned
    FILE* err_;  // not owned
};
