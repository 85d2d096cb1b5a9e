#pragma once
// A backup's file as a restore sends it: opened once (never through a link),
// read whole into a SHA-256 that must give the checksum the backup's check
// found, then sent from the same open file while it is hashed again, so that
// the bytes the box gets are the bytes that were checked. A file swapped or
// changed since the check is not sent; one changed while it is being sent
// stops the upload before its last block.
#include <cstdint>
#include <filesystem>
#include <string>

#include "backup/Sha256.h"
#include "box/UploadFile.h"

class CheckedUpload : public UploadSource {
public:
    // `checkedHex`: the file's checksum as the backup's check found it.
    CheckedUpload(const std::filesystem::path& path, std::string checkedHex);
    CheckedUpload(const CheckedUpload&) = delete;
    CheckedUpload& operator=(const CheckedUpload&) = delete;

    // True once the open file holds the checked bytes.
    bool IsOpen() const override { return problem_.empty(); }
    int64_t Size() const override { return IsOpen() ? file_.Size() : -1; }
    size_t Read(void* data, size_t length) override;
    bool ReadFailed() const override { return file_.ReadFailed(); }
    bool MayFinish() override;

    // Why it is not sent, for a person; empty while it may be.
    const std::string& Problem() const { return problem_; }

private:
    UploadFile file_;
    std::string checkedHex_;
    std::string problem_;
    Sha256 sent_;  // of the bytes handed out for sending
};
