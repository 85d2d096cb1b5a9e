#pragma once
// Where a download is written: beside the target in the working directory,
// replacing it only once the last record has been written.
#include <string>

#include "box/ReplacingFile.h"

class DownloadFile : public ReplacingFile {
public:
    explicit DownloadFile(const std::string& targetName)
        : ReplacingFile(targetName, TemporaryName(targetName)) {}

    static std::string TemporaryName(const std::string& targetName) {
        return "~velqo-" + targetName + ".part";
    }
};
