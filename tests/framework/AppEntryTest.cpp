// The framework's WinMain runs the application object of a real program.
#include <gtest/gtest.h>

#include <string>

#include "framework/FrameworkWin.h"
#include "framework/UnexpectedFailure.h"
#include "tests/support/StartAttempts.h"
#include "tests/support/TempDir.h"

namespace {

std::string ProbePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + "framework_app_probe.exe";
}

// The text of the first message box that process `id` shows, which is then
// answered with OK; empty when none shows within a few seconds.
std::string AnswerMessageBox(DWORD id) {
    struct Search {
        DWORD process;
        HWND box;
    } search{id, nullptr};
    for (int i = 0; i < 500 && search.box == nullptr; ++i) {
        ::Sleep(20);
        ::EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(w, &owner);
                char name[16] = {};
                ::GetClassNameA(w, name, sizeof name);
                if (owner == s->process && std::string(name) == "#32770" && ::IsWindowVisible(w)) {
                    s->box = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
    }
    if (search.box == nullptr) {
        return {};
    }
    std::string text;
    ::EnumChildWindows(
        search.box,
        [](HWND w, LPARAM p) -> BOOL {
            char part[512] = {};
            ::GetWindowTextA(w, part, sizeof part);
            *reinterpret_cast<std::string*>(p) += std::string(part) + "|";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    ::PostMessageA(search.box, WM_COMMAND, IDOK, 0);
    return text;
}

// Runs the probe with `args` and returns its exit code; with `boxText`, answers the
// message box it shows and keeps the box's texts there.
DWORD RunProbe(const std::string& args, std::string* boxText = nullptr) {
    std::string command = "\"" + ProbePath() + "\" " + args;
    StartAttempts attempts(command);
    for (;;) {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process)) {
            if (attempts.AgainAfterStartError(::GetLastError())) {
                continue;
            }
            return 0xFFFFFFFF;
        }
        if (boxText != nullptr) {
            *boxText = AnswerMessageBox(process.dwProcessId);
        }
        ::WaitForSingleObject(process.hProcess, 60000);
        DWORD code = 0xFFFFFFFF;
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        if (!attempts.AgainAfterExit(code)) {
            return code;
        }
    }
}

}  // namespace

TEST(AppEntry, FailedInitInstanceEndsWithExitInstance) {
    std::remove("probe1.log");
    EXPECT_EQ(RunProbe("probe1.log"), 7u);
    EXPECT_EQ(ReadFile("probe1.log"), "init framework_app_probe module\nexit\n");
}

TEST(AppEntry, RunLoopAndCommandRoutingToTheApplication) {
    std::remove("probe2.log");
    EXPECT_EQ(RunProbe("probe2.log run"), 7u);
    EXPECT_EQ(ReadFile("probe2.log"),
              "init framework_app_probe module\nhelp\nexit pretranslated\n");
}

TEST(AppEntry, ExceptionInAHandlerEndsTheProgramWithAClearMessage) {
    std::remove("probe3.log");
    std::string box;
    EXPECT_EQ(RunProbe("probe3.log throw", &box), fw::kExitUnexpectedFailure);
    EXPECT_NE(box.find("framework_app_probe met an unexpected failure in a window procedure: "
                       "probe failure. It ends now."),
              std::string::npos)
        << box;
    // Nothing ran after the failure: not the rest of the start-up, not ExitInstance.
    EXPECT_EQ(ReadFile("probe3.log"), "init framework_app_probe module\nhelp\n");
}
