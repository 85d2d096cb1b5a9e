#pragma once
// Where a download is written: beside the target, in the working directory
// or a given folder, replacing it only once the last record has been written.
// By default a replaced file that holds other bytes is kept as NAME~
// (ReplacingFile): nothing the user had is lost.
#include <filesystem>
#include <string>

#include "box/DownloadSink.h"
#include "box/ReplacingFile.h"

class DownloadFile : public DownloadSink {
public:
    explicit DownloadFile(const std::string& targetName) : DownloadFile({}, targetName) {}
    // An empty folder is the working directory.
    DownloadFile(const std::filesystem::path& folder, const std::string& targetName,
                 ReplacedFile replaced = ReplacedFile::kKeep)
        : file_((folder / targetName).string(), (folder / TemporaryName(targetName)).string(),
                replaced) {}

    static std::string TemporaryName(const std::string& targetName) {
        return "~velqo-" + targetName + ".part";
    }

    bool IsOpen() const override { return file_.IsOpen(); }
    void Write(const void* data, size_t length) override { file_.Write(data, length); }
    bool Commit() override { return file_.Commit(); }
    bool WriteFailed() const override { return file_.WriteFailed(); }
    bool KeepFailed() const { return file_.KeepFailed(); }
    bool Kept() const { return file_.Kept(); }

private:
    ReplacingFile file_;
};
