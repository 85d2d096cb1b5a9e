#include "tests/support/TempDir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir() : previous_(fs::current_path()) {
    static std::atomic<int> counter{0};
    // Beside the test's own working directory, which ctest makes per test program.
    for (;;) {
        path_ = previous_ / ("t" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(path_, ec)) {
            break;
        }
    }
    fs::current_path(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}
