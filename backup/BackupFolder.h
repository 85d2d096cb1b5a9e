#pragma once
// The layout of a backup folder: its name HOST-YYYYMMDD-HHMMSS, the box's
// files, and three files of its own. manifest.txt lists the saved files as
// the substitute box reads them; SHA256SUMS holds their checksums as
// sha256sum writes them, and the checksum of manifest.txt as its last line;
// INCOMPLETE, while it exists, says that files are missing and why.
// INCOMPLETE is written before the first download and removed only once
// every file is saved, so a broken-off backup never looks complete; all
// three are rewritten (each atomically) after every file, so that at any
// moment what is saved is listed and checked, and what is not is named.
#include <filesystem>
#include <string>
#include <vector>

class BackupFolder {
public:
    static constexpr const char* kManifestName = "manifest.txt";
    static constexpr const char* kChecksumsName = "SHA256SUMS";
    static constexpr const char* kIncompleteName = "INCOMPLETE";
    // A second backup within the same second gets "-2", "-3"... up to this.
    static constexpr int kMaxFolderAttempts = 100;

    struct Missing {
        std::string name;
        std::string why;
    };

    // The parts of a folder name as FolderName and Make write it.
    struct NameParts {
        std::string host;
        std::string stamp;  // YYYYMMDDHHMMSS
        int sequence = 1;   // 2, 3... for a second backup within the same second
    };

    // Whether `name` is one of the backup's own files (case does not matter,
    // as on Windows); a box file of such a name cannot be kept beside them.
    static bool IsOwnFileName(const std::string& name);
    // "HOST-YYYYMMDD-HHMMSS" in local time; anything in the host but letters,
    // digits, '.', '-' and '_' becomes '_'.
    static std::string FolderName(const std::string& host);
    // Reads a name written so; false for any other name, and for one that
    // names no real date and time (folders are copied around and renamed).
    static bool ParseFolderName(const std::string& folder, NameParts* out);
    // Makes a new folder of that name in `into` (made if need be), never an
    // existing one. False with the reason (possibly empty) on failure.
    static bool Make(const std::filesystem::path& into, const std::string& host,
                     std::filesystem::path* folder, std::string* why);
    // The text of INCOMPLETE naming the missing files (escaped: a box's name
    // may hold a line feed), after `problem` (empty for none), something
    // wrong with the backup as a whole.
    static std::string IncompleteText(const std::vector<Missing>& missing, size_t saved,
                                      const std::string& problem);
    // Writes one of the backup's own files whole, replacing any older one.
    static bool WriteText(const std::filesystem::path& folder, const char* name,
                          const std::string& text);
};
