#pragma once
// The layout of a backup folder (named as BackupName writes it, made by
// BackupStore): the box's files, and three files of its own. manifest.txt lists the saved files as
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

#include "catalog/Manifest.h"

class BackupFolder {
public:
    static constexpr const char* kManifestName = Manifest::kFileName;
    static constexpr const char* kChecksumsName = "SHA256SUMS";
    static constexpr const char* kIncompleteName = "INCOMPLETE";

    struct Missing {
        std::string name;
        std::string why;
    };

    // Whether `name` is one of the backup's own files (case does not matter,
    // as on Windows); a box file of such a name cannot be kept beside them.
    static bool IsOwnFileName(const std::string& name);
    // The text of INCOMPLETE naming the missing files (escaped: a box's name
    // may hold a line feed), after `problem` (empty for none), something
    // wrong with the backup as a whole.
    static std::string IncompleteText(const std::vector<Missing>& missing, size_t saved,
                                      const std::string& problem);
    // Writes one of the backup's own files whole, replacing any older one.
    static bool WriteText(const std::filesystem::path& folder, const char* name,
                          const std::string& text);
};
