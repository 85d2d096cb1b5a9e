#include "backup/CheckedUpload.h"

#include <vector>

namespace {

constexpr const char* kChanged = "its bytes changed since the backup was checked; not sent";

}  // namespace

CheckedUpload::CheckedUpload(const std::filesystem::path& path, std::string checkedHex)
    : file_(path, LinkRule::kRefuse), checkedHex_(std::move(checkedHex)) {
    if (!file_.IsOpen()) {
        problem_ = file_.Kind() == FileKind::kRegular
                       ? std::string("cannot be read; not sent")
                       : std::string(FileKindText(file_.Kind())) +
                             (file_.Kind() == FileKind::kLink ? ", never followed; not sent"
                                                              : "; not sent");
        return;
    }
    constexpr size_t kChunk = 1 << 16;
    std::vector<char> chunk(kChunk);
    Sha256 found;
    int64_t length = 0;
    size_t n = 0;
    while ((n = file_.Read(chunk.data(), chunk.size())) > 0) {
        found.Update(chunk.data(), n);
        length += static_cast<int64_t>(n);
    }
    Sha256::Digest digest;
    if (file_.ReadFailed() || !found.Finish(&digest) || !file_.Rewind()) {
        problem_ = "cannot be read; not sent";
    } else if (Sha256::Hex(digest) != checkedHex_ || length != file_.Size()) {
        problem_ = kChanged;
    }
}

size_t CheckedUpload::Read(void* data, size_t length) {
    const size_t n = file_.Read(data, length);
    sent_.Update(data, n);
    return n;
}

bool CheckedUpload::MayFinish() {
    Sha256::Digest digest;
    if (!sent_.Finish(&digest) || Sha256::Hex(digest) != checkedHex_) {
        problem_ = "its bytes changed while it was sent; the upload was stopped";
        return false;
    }
    return true;
}
