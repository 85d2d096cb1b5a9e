#pragma once
// Wine on a loaded machine now and then cannot start a child at all:
// CreateProcess fails with error 1359 (ERROR_INTERNAL_ERROR), or the child
// ends with 0xC0000142 (STATUS_DLL_INIT_FAILED) before any of its own code
// ran. Such a start is made again, at most twice, and said on stderr, so that
// the test's output shows it; nothing else is retried.
#include <windows.h>

#include <string>

class StartAttempts {
public:
    static constexpr int kMostRetries = 2;

    // `program` names the child in what is said.
    explicit StartAttempts(std::string program);

    // After CreateProcess failed with `error`: whether to start it again.
    bool AgainAfterStartError(DWORD error);
    // After the child ended with `exitCode`: whether it never ran and is to
    // be started again.
    bool AgainAfterExit(DWORD exitCode);

private:
    bool Again(const std::string& why);

    std::string program_;
    int retries_ = 0;
};
