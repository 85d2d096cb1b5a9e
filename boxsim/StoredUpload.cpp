#include "boxsim/StoredUpload.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

StoredUpload::StoredUpload(const std::string& folder, const std::string& name)
    : target_((fs::path(folder) / name).string()),
      temporary_((fs::path(folder) / (kTemporaryPrefix + name + ".part")).string()),
      file_(temporary_.c_str(), "wb") {}

StoredUpload::~StoredUpload() {
    if (!committed_) {
        file_.Close();
        std::remove(temporary_.c_str());
    }
}

void StoredUpload::Write(const void* data, size_t size) {
    if (!file_.IsOpen() || failed_ || size == 0) {
        return;
    }
    if (std::fwrite(data, 1, size, file_.Get()) != size) {
        failed_ = true;
        return;
    }
    size_ += size;
}

bool StoredUpload::Commit() {
    if (!file_.IsOpen() || failed_ || !file_.Close()) {
        return false;
    }
    std::error_code ec;
    fs::rename(temporary_, target_, ec);
    committed_ = !ec;
    return committed_;
}
