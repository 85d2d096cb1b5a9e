// The framework's WinMain runs the application object of a real program.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "framework/FrameworkWin.h"

namespace {

std::string ProbePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + "framework_app_probe.exe";
}

// Runs the probe with `args` and returns its exit code.
DWORD RunProbe(const std::string& args) {
    std::string command = "\"" + ProbePath() + "\" " + args;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return 0xFFFFFFFF;
    }
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(AppEntry, FailedInitInstanceEndsWithExitInstance) {
    std::remove("probe1.log");
    EXPECT_EQ(RunProbe("probe1.log"), 7u);
    EXPECT_EQ(ReadAll("probe1.log"), "init framework_app_probe module\nexit\n");
}

TEST(AppEntry, RunLoopAndCommandRoutingToTheApplication) {
    std::remove("probe2.log");
    EXPECT_EQ(RunProbe("probe2.log run"), 7u);
    EXPECT_EQ(ReadAll("probe2.log"), "init framework_app_probe module\nhelp\nexit pretranslated\n");
}
