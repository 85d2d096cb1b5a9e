// Replays inputs through a fuzz target without libFuzzer, so that the
// ordinary builds, and with them `make test`, run what once found a fault:
//
//   velqo_fuzz_replay_TARGET [--repeat N] PATH... [--repeat N] PATH...
//
// A PATH is an input file or a folder of them (a missing folder holds
// none); --repeat N runs each input of the paths after it N times, since a
// fault that depends on timing shows only now and then. A fault stops the
// program as it stops the fuzzer; no input at all is an error too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Optional, as with libFuzzer: only some targets prepare anything.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

struct Input {
    fs::path path;
    long repeat = 1;
};

// The files of a path, in name order; none for a missing folder.
std::vector<fs::path> FilesOf(const fs::path& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        return {path};
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(path, ec)) {
        if (e.is_regular_file()) {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Input> inputs;
    long repeat = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            char* end = nullptr;
            repeat = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || repeat < 1) {
                std::fprintf(stderr, "%s: --repeat takes a count of 1 or more\n", argv[0]);
                return 2;
            }
            continue;
        }
        // Absolute now: a target may change its working directory.
        for (const fs::path& file : FilesOf(fs::absolute(arg))) {
            inputs.push_back({file, repeat});
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s: no input to replay\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    long runs = 0;
    for (const Input& input : inputs) {
        std::ifstream in(input.path, std::ios::binary);
        const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        if (!in.is_open() || in.bad()) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], input.path.c_str());
            return 1;
        }
        std::printf("%s x%ld\n", input.path.c_str(), input.repeat);
        std::fflush(stdout);
        for (long n = 0; n < input.repeat; ++n) {
            LLVMFuzzerTestOneInput(data.data(), data.size());
        }
        runs += input.repeat;
    }
    std::printf("%zu input(s), %ld run(s), nothing found\n", inputs.size(), runs);
    return 0;
}
