// Starts the window program from its own folder and waits until its log
// console shows a given text; prints the log and ends the program.
//   window_log_probe PROGRAM.exe TEXT SECONDS
// Exit status 0 when the text appeared in time, 1 when not, 2 on misuse.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

constexpr DWORD kPollMs = 200;
constexpr UINT kMessageTimeoutMs = 2000;

struct Search {
    DWORD processId;
    HWND dialog;  // not owned
};

BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && GetDlgItem(window, IDC_LOG) != nullptr) {
        search->dialog = window;
        return FALSE;
    }
    return TRUE;
}

// The text of a control of another process, through the system's marshalling
// of WM_GETTEXT.
std::string ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &length)) {
        return "";
    }
    std::vector<char> text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &copied)) {
        return "";
    }
    return std::string(text.data(), copied);
}

class ProcessHandles {
public:
    ProcessHandles() = default;
    ~ProcessHandles() {
        if (info.hThread != nullptr) {
            CloseHandle(info.hThread);
        }
        if (info.hProcess != nullptr) {
            CloseHandle(info.hProcess);
        }
    }
    ProcessHandles(const ProcessHandles&) = delete;
    ProcessHandles& operator=(const ProcessHandles&) = delete;
    PROCESS_INFORMATION info{};
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: window_log_probe PROGRAM.exe TEXT SECONDS\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string wanted = argv[2];
    const DWORD budgetMs = static_cast<DWORD>(std::atoi(argv[3])) * 1000;
    char full[MAX_PATH];
    char* namePart = nullptr;
    if (GetFullPathNameA(program.c_str(), MAX_PATH, full, &namePart) == 0 || namePart == nullptr) {
        std::fprintf(stderr, "window_log_probe: bad program path %s\n", program.c_str());
        return 2;
    }
    const std::string folder(full, namePart);
    std::string command = "\"" + std::string(full) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ProcessHandles process;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process.info)) {
        std::fprintf(stderr, "window_log_probe: cannot start %s (error %lu)\n", full,
                     GetLastError());
        return 1;
    }
    std::string log;
    bool found = false;
    for (DWORD waited = 0; waited < budgetMs && !found; waited += kPollMs) {
        if (WaitForSingleObject(process.info.hProcess, kPollMs) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "window_log_probe: the program ended by itself\n");
            break;
        }
        Search search{process.info.dwProcessId, nullptr};
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.dialog != nullptr) {
            log = ControlText(GetDlgItem(search.dialog, IDC_LOG));
            found = log.find(wanted) != std::string::npos;
        }
    }
    std::fputs(log.c_str(), stdout);
    std::fputs("\n", stdout);
    TerminateProcess(process.info.hProcess, 0);
    WaitForSingleObject(process.info.hProcess, INFINITE);
    if (!found) {
        std::fprintf(stderr, "window_log_probe: \"%s\" did not appear in the log\n",
                     wanted.c_str());
    }
    return found ? 0 : 1;
}
