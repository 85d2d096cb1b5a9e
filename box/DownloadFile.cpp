#include "box/DownloadFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

std::string DownloadFile::TemporaryName(const std::string& targetName) {
    return "~velqo-" + targetName + ".part";
}

DownloadFile::DownloadFile(const std::string& targetName)
    : target_(targetName),
      temporary_(TemporaryName(targetName)),
      file_(temporary_.c_str(), "wb") {}

DownloadFile::~DownloadFile() {
    if (!committed_) {
        file_.Close();
        std::remove(temporary_.c_str());
    }
}

void DownloadFile::Write(const void* data, size_t length) {
    if (!file_.IsOpen() || writeFailed_) {
        return;
    }
    if (std::fwrite(data, 1, length, file_.Get()) != length) {
        writeFailed_ = true;
    }
}

bool DownloadFile::Commit() {
    if (!file_.IsOpen() || writeFailed_) {
        return false;
    }
    if (!file_.Close()) {
        writeFailed_ = true;
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary_, target_, ec);
    if (ec) {
        return false;
    }
    committed_ = true;
    return true;
}
