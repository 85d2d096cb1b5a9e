#include "tests/support/StartAttempts.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace {

constexpr DWORD kWineInternalError = ERROR_INTERNAL_ERROR;  // 1359
constexpr DWORD kDllInitFailed = 0xC0000142;                // STATUS_DLL_INIT_FAILED
// A moment for the machine before the next start.
constexpr auto kPause = std::chrono::milliseconds(500);

}  // namespace

StartAttempts::StartAttempts(std::string program) : program_(std::move(program)) {}

bool StartAttempts::AgainAfterStartError(DWORD error) {
    return error == kWineInternalError &&
           Again("could not be started (CreateProcess error " + std::to_string(error) + ")");
}

bool StartAttempts::AgainAfterExit(DWORD exitCode) {
    return exitCode == kDllInitFailed &&
           Again("ended with 0xC0000142 (its libraries failed to start) before it ran");
}

bool StartAttempts::Again(const std::string& why) {
    if (retries_ == kMostRetries) {
        std::fprintf(stderr, "[test rig] %s %s; started %d times, not again\n", program_.c_str(),
                     why.c_str(), retries_ + 1);
        return false;
    }
    ++retries_;
    std::fprintf(stderr, "[test rig] %s %s; starting it again (%d of %d)\n", program_.c_str(),
                 why.c_str(), retries_, kMostRetries);
    std::fflush(stderr);
    std::this_thread::sleep_for(kPause);
    return true;
}
