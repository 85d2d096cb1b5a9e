#include "cli/UploadVerifier.h"

#include <cstring>
#include <system_error>
#include <vector>

#include "box/BoxSession.h"
#include "base/StdioFile.h"
#include "cli/ScopedCurrentDirectory.h"

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

// Where two files first differ: -1 when they are equal, -2 when one cannot
// be read.
int64_t FirstDifference(const fs::path& a, const fs::path& b) {
    constexpr size_t kChunk = 1 << 16;
    StdioFile fa(a.string().c_str(), "rb");
    StdioFile fb(b.string().c_str(), "rb");
    if (!fa.IsOpen() || !fb.IsOpen()) {
        return -2;
    }
    std::vector<char> ba(kChunk);
    std::vector<char> bb(kChunk);
    int64_t offset = 0;
    for (;;) {
        const size_t na = std::fread(ba.data(), 1, kChunk, fa.Get());
        const size_t nb = std::fread(bb.data(), 1, kChunk, fb.Get());
        if (std::ferror(fa.Get()) || std::ferror(fb.Get())) {
            return -2;
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
            return -1;
        }
        offset += static_cast<int64_t>(na);
    }
}

}  // namespace

UploadVerifier::UploadVerifier(fs::path workingDirectory, FILE* err)
    : workingDirectory_(std::move(workingDirectory)), err_(err) {}

UploadVerifier::~UploadVerifier() {
    if (!area_.empty()) {
        std::error_code ec;
        fs::remove_all(area_, ec);
    }
}

bool UploadVerifier::MakeArea() {
    if (!area_.empty()) {
        return true;
    }
    // A name of our own that no other run is using.
    const std::string stem = "~velqo-verify-" + std::to_string(VELQO_GETPID());
    for (int n = 0; n < kMaxAreaAttempts; ++n) {
        const fs::path candidate =
            workingDirectory_ / (n == 0 ? stem : stem + "-" + std::to_string(n));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            area_ = candidate;
            return true;
        }
    }
    std::fprintf(err_, "velqo-cli: cannot make a temporary folder in %s for the read-back\n",
                 workingDirectory_.string().c_str());
    return false;
}

bool UploadVerifier::Verify(BoxSession& session, const std::string& name,
                            const fs::path& uploaded) {
    if (!MakeArea()) {
        return false;
    }
    const fs::path copy = area_ / name;
    {
        ScopedCurrentDirectory inArea(area_);
        if (!inArea.Entered()) {
            std::fprintf(err_, "velqo-cli: %s: cannot enter the read-back folder\n", name.c_str());
            return false;
        }
        session.Dump(name.c_str());
    }
    if (session.LastOutcome() != TransferOutcome::kDone) {
        std::fprintf(err_, "velqo-cli: %s: NOT VERIFIED: the upload could not be read back\n",
                     name.c_str());
        std::error_code ec;
        fs::remove(copy, ec);
        return false;
    }
    const int64_t difference = FirstDifference(uploaded, copy);
    std::error_code ec;
    const auto localSize = static_cast<unsigned long long>(fs::file_size(uploaded, ec));
    const auto boxSize = static_cast<unsigned long long>(fs::file_size(copy, ec));
    fs::remove(copy, ec);
    if (difference == -1) {
        std::fprintf(err_, "velqo-cli: %s: verified, the box holds the same %llu byte(s)\n",
                     name.c_str(), localSize);
        return true;
    }
    if (difference == -2) {
        std::fprintf(err_, "velqo-cli: %s: NOT VERIFIED: the files cannot be compared\n",
                     name.c_str());
        return false;
    }
    std::fprintf(err_,
                 "velqo-cli: %s: VERIFY FAILED: the box's copy (%llu byte(s)) differs from the "
                 "uploaded file (%llu byte(s)) from byte %lld on\n",
                 name.c_str(), boxSize, localSize, static_cast<long long>(difference));
    return false;
}
