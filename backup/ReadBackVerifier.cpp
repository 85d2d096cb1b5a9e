#include "backup/ReadBackVerifier.h"

#include <cstdint>
#include <system_error>
#include <vector>

#include "backup/Sha256Sink.h"
#include "base/RegularFile.h"
#include "box/BoxSession.h"

#ifdef _WIN32
#include <process.h>
#define VELQO_GETPID _getpid
#else
#include <unistd.h>
#define VELQO_GETPID getpid
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kMaxAreaAttempts = 100;
constexpr int64_t kEqual = -1;
constexpr int64_t kUnreadable = -2;

// Where two files first differ: kEqual, or kUnreadable when one cannot be read.
int64_t FirstDifference(const fs::path& a, const fs::path& b) {
    constexpr size_t kChunk = 1 << 16;
    // The uploaded file is a backup's or the user's: read only when it is a
    // regular file (the upload sent no other), never a FIFO that would hang.
    FileKind kind = FileKind::kMissing;
    const StdioFile fa = OpenRegularFile(a, LinkRule::kFollow, false, &kind);
    const StdioFile fb = OpenRegularFile(b, LinkRule::kRefuse, false, &kind);
    if (!fa.IsOpen() || !fb.IsOpen()) {
        return kUnreadable;
    }
    std::vector<char> ba(kChunk);
    std::vector<char> bb(kChunk);
    int64_t offset = 0;
    for (;;) {
        const size_t na = std::fread(ba.data(), 1, kChunk, fa.Get());
        const size_t nb = std::fread(bb.data(), 1, kChunk, fb.Get());
        if (std::ferror(fa.Get()) || std::ferror(fb.Get())) {
            return kUnreadable;
        }
        const size_t common = na < nb ? na : nb;
        for (size_t i = 0; i < common; ++i) {
            if (ba[i] != bb[i]) {
                return offset + static_cast<int64_t>(i);
            }
        }
        if (na != nb) {
            return offset + static_cast<int64_t>(common);
        }
        if (na == 0) {
            return kEqual;
        }
        offset += static_cast<int64_t>(na);
    }
}

std::string Bytes(uintmax_t n) {
    return std::to_string(n) + " byte(s)";
}

}  // namespace

ReadBackVerifier::ReadBackVerifier(fs::path parent) : parent_(std::move(parent)) {}

ReadBackVerifier::~ReadBackVerifier() {
    if (!area_.empty()) {
        std::error_code ec;
        fs::remove_all(area_, ec);
    }
}

bool ReadBackVerifier::MakeArea() {
    if (!area_.empty()) {
        return true;
    }
    // A name of our own that no other run is using.
    const std::string stem = "~velqo-verify-" + std::to_string(VELQO_GETPID());
    for (int n = 0; n < kMaxAreaAttempts; ++n) {
        const fs::path candidate = parent_ / (n == 0 ? stem : stem + "-" + std::to_string(n));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            area_ = candidate;
            areaCleanup_ = RemovedOnSignal(candidate, SignalCleanup::Kind::kFolder);
            return true;
        }
    }
    return false;
}

Verified ReadBackVerifier::Verify(BoxSession& session, const std::string& name,
                                  const fs::path& uploaded, std::string* message) {
    if (!MakeArea()) {
        *message = "cannot make a temporary folder in " + parent_.string() + " for the read-back";
        return Verified::kUnknown;
    }
    const fs::path copy = area_ / name;
    // The copy is in place from the end of the download until it is removed below.
    const RemovedOnSignal copyCleanup(copy, SignalCleanup::Kind::kFile);
    session.DumpInto(name.c_str(), area_, ReplacedFile::kDiscard);
    std::error_code ec;
    if (session.LastOutcome() != TransferOutcome::kDone) {
        *message = "NOT VERIFIED: the upload could not be read back";
        fs::remove(copy, ec);
        return Verified::kUnknown;
    }
    const int64_t difference = FirstDifference(uploaded, copy);
    const uintmax_t localSize = fs::file_size(uploaded, ec);
    const uintmax_t boxSize = fs::file_size(copy, ec);
    fs::remove(copy, ec);
    if (difference == kEqual) {
        *message = "verified, the box holds the same " + Bytes(localSize);
        return Verified::kYes;
    }
    if (difference == kUnreadable) {
        *message = "NOT VERIFIED: the files cannot be compared";
        return Verified::kUnknown;
    }
    *message = "VERIFY FAILED: the box's copy (" + Bytes(boxSize) +
               ") differs from the uploaded file (" + Bytes(localSize) + ") from byte " +
               std::to_string(difference) + " on";
    return Verified::kNo;
}

Verified ReadBackVerifier::VerifyChecksum(BoxSession& session, const std::string& name,
                                          const std::string& sentHex, int64_t sentSize,
                                          std::string* message) {
    Sha256Sink copy;
    session.DumpTo(name.c_str(), copy);
    if (session.LastOutcome() != TransferOutcome::kDone) {
        *message = "NOT VERIFIED: the upload could not be read back";
        return Verified::kUnknown;
    }
    if (copy.Hex() == sentHex) {
        *message = "verified, the box holds the same " + Bytes(static_cast<uintmax_t>(copy.Size()));
        return Verified::kYes;
    }
    *message = "VERIFY FAILED: the box's copy (" + Bytes(static_cast<uintmax_t>(copy.Size())) +
               ") is not what was sent (" + Bytes(static_cast<uintmax_t>(sentSize)) +
               ", checksum " + sentHex + ")";
    return Verified::kNo;
}
