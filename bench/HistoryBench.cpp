#include "bench/HistoryBench.h"

#include <stdlib.h>

#include <chrono>
#include <string>
#include <system_error>
#include <vector>

#include "base/ChildProcess.h"
#include "bench/OwnFolder.h"
#include "box/WireFormat.h"
#include "tests/support/StoreWriter.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr size_t kFileBytes = 2048;
// Far above a run of history over the bench's backups; past it the run has hung.
constexpr std::chrono::seconds kRunLimit{600};

// Backup `k` of the series: one text file edited in every backup, one more
// in every tenth, a file added every hundredth.
std::vector<StoredFile> Files(int k) {
    std::vector<StoredFile> files;
    for (size_t f = 0; f < wire::kMaxListRecords; ++f) {
        const int version = f == 0 ? k : f == 1 ? k / 10 : f == 2 ? k / 100 : 0;
        files.push_back({"Settings", "file" + std::to_string(f) + ".txt", 1,
                         std::string(kFileBytes, static_cast<char>('a' + version % 26)) +
                             std::to_string(version)});
    }
    if (k % 100 == 99) {
        files.pop_back();
    }
    return files;
}

// A stamp a minute after the one before, from a fixed day on.
std::string Stamp(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "2026%02d%02d%02d%02d00", 1 + k / (28 * 24 * 60) % 12,
                  1 + k / (24 * 60) % 28, k / 60 % 24, k % 60);
    return text;
}

}  // namespace

HistoryBench::~HistoryBench() {
    if (!root_.empty()) {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
}

bool HistoryBench::Start(int count, std::string* error) {
    char pattern[] = "/tmp/velqo-history-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        *error = "cannot make a temporary folder";
        return false;
    }
    root_ = pattern;
    for (int k = 0; k < count; ++k) {
        WriteStoredBackup(root_ / "store", StoredName(kHost, Stamp(k)), Files(k));
    }
    return true;
}

double HistoryBench::Run(size_t* lines, std::string* error) const {
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome run = ChildProcess::Run(
        (OwnFolder() / "velqo-cli").string(),
        {"-q", "--host", kHost, "--into", (root_ / "store").string(), "history"}, kRunLimit);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (run.status != 0) {
        *error = "velqo-cli history failed: " + run.output;
        return -1;
    }
    *lines = 0;
    for (const char c : run.output) {
        *lines += c == '\n' ? 1 : 0;
    }
    return took.count();
}
