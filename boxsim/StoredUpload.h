#pragma once
// Where the substitute box writes an upload: beside the target in its folder,
// replacing it only once the last block has been written.
#include <filesystem>
#include <string>

#include "box/ReplacingFile.h"

class StoredUpload : public ReplacingFile {
public:
    // Temporary files start with this; the box refuses uploads of such names.
    static constexpr const char* kTemporaryPrefix = "~boxsim-";

    StoredUpload(const std::string& folder, const std::string& name)
        : ReplacingFile(
              (std::filesystem::path(folder) / name).string(),
              (std::filesystem::path(folder) / (kTemporaryPrefix + name + ".part")).string()) {}
};
