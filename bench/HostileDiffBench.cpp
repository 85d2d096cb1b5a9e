#include "bench/HostileDiffBench.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <system_error>

#include "bench/OwnFolder.h"
#include "tests/support/StoreWriter.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr size_t kRandomXYBytes = 4000000;
constexpr size_t kEmptyAndABytes = 4100000;
constexpr unsigned kSeed = 31;
constexpr size_t kFarEditFromEnd = 100;
constexpr long kKiB = 1024;

// `bytes` of lines picked at random from `lines`.
std::string RandomLines(std::mt19937& random, const std::vector<std::string>& lines, size_t bytes) {
    std::string text;
    text.reserve(bytes);
    std::uniform_int_distribution<size_t> pick(0, lines.size() - 1);
    while (text.size() < bytes) {
        text += lines[pick(random)];
    }
    text.resize(bytes, '\n');
    return text;
}

}  // namespace

HostileDiffBench::~HostileDiffBench() {
    if (!root_.empty()) {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
}

bool HostileDiffBench::Start(std::string* error) {
    char pattern[] = "/tmp/velqo-hostile-diff-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        *error = "cannot make a temporary folder";
        return false;
    }
    root_ = pattern;
    std::mt19937 random(kSeed);
    const struct {
        Text text;
        std::vector<std::string> lines;
        size_t bytes;
    } texts[] = {
        {Text::kRandomXY, {"x\n", "y\n"}, kRandomXYBytes},
        {Text::kEmptyAndA, {"\n", "a\n"}, kEmptyAndABytes},
    };
    const auto write = [&](Text text, int side, std::string bytes) {
        const std::string stamp =
            "2026120" + std::to_string(static_cast<int>(text) + 1) + "10000" + std::to_string(side);
        folders_.push_back(WriteStoredBackup(root_ / "store", StoredName(kHost, stamp),
                                             {{"Settings", "list.txt", 1, std::move(bytes)}}));
    };
    for (const auto& t : texts) {
        for (int side = 0; side < 2; ++side) {
            write(t.text, side, RandomLines(random, t.lines, t.bytes));
        }
        sizes_.push_back(t.bytes);
    }
    // An "a" line added near the start and one near the end.
    std::string few = RandomLines(random, {"\n", "a\n"}, kEmptyAndABytes);
    write(Text::kFewFarEdits, 0, few);
    few.insert(kFarEditFromEnd, "a\n");
    few.insert(few.size() - kFarEditFromEnd, "a\n");
    write(Text::kFewFarEdits, 1, few);
    sizes_.push_back(kEmptyAndABytes);
    return true;
}

HostileDiffBench::Result HostileDiffBench::Run(Text text, bool namesOnly,
                                               std::string* error) const {
    const std::string program = (OwnFolder() / "velqo-cli").string();
    const auto pair = 2 * static_cast<size_t>(text);
    const std::string older = folders_[pair].string();
    const std::string newer = folders_[pair + 1].string();
    std::vector<const char*> argv = {program.c_str(), "-q", "diff"};
    if (namesOnly) {
        argv.push_back("--names-only");
    }
    argv.push_back(older.c_str());
    argv.push_back(newer.c_str());
    argv.push_back(nullptr);
    Result result;
    result.fileBytes = sizes_[static_cast<size_t>(text)];
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(program.c_str(), const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        *error = "cannot run velqo-cli";
        return result;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    // Exit status 1: the files differ, as they do.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 1) {
        *error = "velqo-cli diff ended with status " + std::to_string(status);
        return result;
    }
    result.seconds = took.count();
    result.peakBytes = static_cast<size_t>(usage.ru_maxrss * kKiB);
    return result;
}

size_t HostileDiffBench::OwnResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            size_t kib = 0;
            status >> kib;
            return kib * kKiB;
        }
    }
    return 0;
}

const char* HostileDiffBench::Label(Text text) {
    switch (text) {
        case Text::kRandomXY:
            return "random x/y lines";
        case Text::kEmptyAndA:
            return "empty and a lines";
        case Text::kFewFarEdits:
            return "the same, 2 lines added far apart";
    }
    return "";
}
