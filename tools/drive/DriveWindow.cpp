// Drives a running VELQO_LAN_MM window from outside, as the screenshots and
// the window benchmark need it: presses Login, then downloads the file at a
// position of the box tree, and reports how long each download took and the
// window's peak working set; or, with --backup or --compare, presses that
// button of the backups dialog (opened through the system menu's command);
// with --break-off, starts a backup and breaks it off as a user would; with
// --find, searches a range in the find boxes dialog, logged out; with
// --update, updates the box's firmware from the backups dialog.
//   velqo-drive-window [--desktop NAME] [--group G] [--file F] [--downloads N]
//                      [--backup | --compare | --break-off | --find RANGE | --update FILE]
//                      [--timeout-ms T]
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "discovery/AddressClass.h"
#include "discovery/AddressRange.h"
#include "resources/resource.h"

namespace {

constexpr const char* kCaption = "VELQO_LAN_MM";
constexpr const char* kBackupsCaption = "Backups";
constexpr const char* kFindCaption = "Find boxes";
constexpr const char* kUpdateCaption = "Update firmware";
constexpr const char* kUpdateQuestionCaption = "Firmware update";
// The caption of the backups dialog's IDCANCEL while no operation runs.
constexpr const char* kIdleCloseCaption = "Close";
constexpr int kPollMs = 50;
// Looking for the end of a timed operation: often, as the time is printed.
constexpr int kTimingPollMs = 2;
constexpr int kLooksPerCaption = 25;

struct Options {
    std::string desktop;
    int group = 0;
    int file = 0;
    int downloads = 1;
    int timeoutMs = 30000;
    // A button of the backups dialog to press instead of downloading: after
    // Back up now the dialog is closed, after Compare it stays open.
    int backupsButton = 0;
    // Back up now, then Cancel and Break off once the first file is under way.
    bool breakOff = false;
    // The range to search in the find boxes dialog instead; empty: none.
    std::string findRange;
    // The firmware file to update the box with instead; empty: none.
    std::string updateFile;
};

void Usage() {
    std::puts(
        "usage: velqo-drive-window [--desktop NAME] [--group G] [--file F] [--downloads N]\n"
        "                          [--backup | --compare | --break-off | --find RANGE |\n"
        "                           --update FILE]\n"
        "                          [--timeout-ms T]\n"
        "Waits for the VELQO_LAN_MM window (on the named desktop, e.g. a Wine virtual\n"
        "desktop's), presses Login unless it is logged in, then downloads the F-th\n"
        "file (from 0) of the G-th group of the box tree N times. Prints one line per\n"
        "download (milliseconds) and the window's peak working set in KiB.\n"
        "--backup: instead, opens Backups... and presses Back up now (one line with\n"
        "its milliseconds), then closes the dialog. --compare: opens Backups... and\n"
        "presses Compare, leaving the dialog open. --break-off: opens Backups..., presses\n"
        "Back up now and, once a file is under way, Cancel and Break off, leaving the\n"
        "dialog open. --find: logged out, opens Find boxes..., types RANGE (which must\n"
        "be a loopback one), ticks Log in and presses Search, leaving the dialog open.\n"
        "--update: opens Backups..., presses Update firmware..., types FILE, ticks the\n"
        "first group, presses Update and Yes, and waits for the update's end, leaving\n"
        "the dialog open.\n"
        "Exit status: 0 done, 1 the window or the tree did not appear in time, 2 usage.");
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            return false;
        }
        if (arg == "--backup" || arg == "--compare" || arg == "--break-off") {
            options->backupsButton = arg == "--compare" ? IDC_BACKUP_COMPARE : IDC_BACKUP_NOW;
            options->breakOff = arg == "--break-off";
            continue;
        }
        if (i + 1 >= argc) {
            return false;
        }
        if (arg == "--desktop") {
            options->desktop = argv[++i];
            continue;
        }
        if (arg == "--update") {
            options->updateFile = argv[++i];
            continue;
        }
        if (arg == "--find") {
            options->findRange = argv[++i];
            // One range on loopback only: a screenshot never searches anyone's
            // network (127.0.0.0/1 starts with "127." too).
            AddressRange range;
            std::string why;
            if (!AddressRange::Parse(options->findRange, &range, &why) ||
                ClassOf(range.First()) != AddressClass::kLoopback ||
                ClassOf(range.Last()) != AddressClass::kLoopback) {
                return false;
            }
            continue;
        }
        const int value = std::atoi(argv[++i]);
        if (value < 0) {
            return false;
        }
        if (arg == "--group") {
            options->group = value;
        } else if (arg == "--file") {
            options->file = value;
        } else if (arg == "--downloads") {
            options->downloads = value;
        } else if (arg == "--timeout-ms") {
            options->timeoutMs = value;
        } else {
            return false;
        }
    }
    return true;
}

template <typename Condition>
bool WaitFor(int timeoutMs, Condition condition, int pollMs = kPollMs) {
    for (int waited = 0; waited <= timeoutMs; waited += pollMs) {
        if (condition()) {
            return true;
        }
        Sleep(pollMs);
    }
    return false;
}

HTREEITEM Nth(HWND tree, HTREEITEM first, int n) {
    HTREEITEM item = first;
    for (int i = 0; i < n && item != nullptr; ++i) {
        item = TreeView_GetNextSibling(tree, item);
    }
    return item;
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using ProcessHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

int Fail(const char* what) {
    std::fprintf(stderr, "velqo-drive-window: %s\n", what);
    return 1;
}

// Presses a button of the backups dialog, opening it first when needed.
int PressInBackups(HWND window, const Options& options) {
    HWND dialog = FindWindowA(nullptr, kBackupsCaption);
    if (dialog == nullptr) {
        // As the system menu sends it; the dialog is modal, so posted.
        PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0);
    }
    if (!WaitFor(options.timeoutMs, [&] {
            return (dialog = FindWindowA(nullptr, kBackupsCaption)) != nullptr &&
                   IsWindowEnabled(GetDlgItem(dialog, IDCANCEL));
        })) {
        return Fail("the backups dialog did not open");
    }
    const auto start = std::chrono::steady_clock::now();
    // The press starts the operation on the dialog's worker, which turns
    // Close into Cancel until it has ended.
    SendMessageA(GetDlgItem(dialog, options.backupsButton), BM_CLICK, 0, 0);
    if (options.breakOff) {
        const HWND status = GetDlgItem(dialog, IDC_BACKUP_STATUS);
        if (!WaitFor(options.timeoutMs, [&] {
                char text[16] = {};
                return GetWindowTextA(status, text, sizeof text) > 0 &&
                       std::strncmp(text, "File ", 5) == 0;
            })) {
            return Fail("the backup did not start a file");
        }
        // The first press stops after the file under way; the second breaks it off.
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    }
    // The pressed button is enabled again at the end unless the link was
    // lost: looked at often, as it costs no message to the window; the
    // caption, which does, now and then.
    const HWND close = GetDlgItem(dialog, IDCANCEL);
    const HWND pressed = GetDlgItem(dialog, options.backupsButton);
    int looks = 0;
    if (!WaitFor(
            options.timeoutMs,
            [&] {
                if (IsWindowEnabled(pressed)) {
                    return true;
                }
                char caption[32] = {};
                return ++looks % kLooksPerCaption == 0 &&
                       GetWindowTextA(close, caption, sizeof caption) > 0 &&
                       std::strcmp(caption, kIdleCloseCaption) == 0;
            },
            kTimingPollMs)) {
        return Fail("the backups dialog's operation did not end");
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (options.backupsButton == IDC_BACKUP_NOW && !options.breakOff) {
        std::printf("backup: %.1f ms\n", took.count());
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    std::fflush(stdout);
    return 0;
}

// Caption of `window`, up to 31 characters.
std::string CaptionOf(HWND window) {
    char caption[32] = {};
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

// Updates the box's firmware from the backups dialog, as a user would: the
// choices filled in and the question answered, all posted, as each is modal.
int UpdateInBackups(HWND window, const Options& options) {
    PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0);
    HWND dialog = nullptr;
    if (!WaitFor(options.timeoutMs, [&] {
            return (dialog = FindWindowA(nullptr, kBackupsCaption)) != nullptr &&
                   IsWindowEnabled(GetDlgItem(dialog, IDC_BACKUP_UPDATE));
        })) {
        return Fail("the backups dialog did not open");
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BACKUP_UPDATE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_BACKUP_UPDATE)));
    HWND choose = nullptr;
    if (!WaitFor(options.timeoutMs,
                 [&] { return (choose = FindWindowA(nullptr, kUpdateCaption)) != nullptr; })) {
        return Fail("the update's choices did not open");
    }
    SetWindowTextA(GetDlgItem(choose, IDC_UPDATE_FILE), options.updateFile.c_str());
    // The first group ticked by the keys a user would press in the list.
    const HWND groups = GetDlgItem(choose, IDC_UPDATE_GROUPS);
    PostMessageA(groups, WM_KEYDOWN, VK_HOME, 0);
    PostMessageA(groups, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(groups, WM_KEYUP, VK_SPACE, 0);
    Sleep(500);
    PostMessageA(choose, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(choose, IDOK)));
    HWND question = nullptr;
    if (!WaitFor(options.timeoutMs, [&] {
            return (question = FindWindowA(nullptr, kUpdateQuestionCaption)) != nullptr;
        })) {
        return Fail("the update's question did not come");
    }
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    if (!WaitFor(options.timeoutMs, [&] {
            return FindWindowA(nullptr, kUpdateCaption) == nullptr &&
                   CaptionOf(GetDlgItem(dialog, IDCANCEL)) == kIdleCloseCaption;
        })) {
        return Fail("the update did not end");
    }
    return 0;
}

// Searches the range in the find boxes dialog, opened through the system
// menu's command, and waits for the search's end.
int SearchInFind(HWND window, const Options& options) {
    PostMessageA(window, WM_SYSCOMMAND, IDM_FIND_BOXES, 0);
    HWND dialog = nullptr;
    if (!WaitFor(options.timeoutMs,
                 [&] { return (dialog = FindWindowA(nullptr, kFindCaption)) != nullptr; })) {
        return Fail("the find boxes dialog did not open");
    }
    SetWindowTextA(GetDlgItem(dialog, IDC_FIND_RANGE), options.findRange.c_str());
    const HWND login = GetDlgItem(dialog, IDC_FIND_LOGIN);
    if (IsWindowEnabled(login)) {
        SendMessageA(login, BM_CLICK, 0, 0);
    }
    SendMessageA(GetDlgItem(dialog, IDC_FIND_SEARCH), BM_CLICK, 0, 0);
    if (!WaitFor(options.timeoutMs, [&] {
            char progress[16] = {};
            char close[16] = {};
            GetWindowTextA(GetDlgItem(dialog, IDC_FIND_PROGRESS), progress, sizeof progress);
            GetWindowTextA(GetDlgItem(dialog, IDCANCEL), close, sizeof close);
            return std::strncmp(progress, "Tried ", 6) == 0 &&
                   std::strcmp(close, kIdleCloseCaption) == 0;
        })) {
        return Fail("the search did not end");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Usage();
        return argc > 1 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    if (!options.desktop.empty()) {
        // Windows are looked for on the thread's desktop, which its program
        // may still be making; the handle stays open for the program's life.
        HDESK desktop = nullptr;
        if (!WaitFor(options.timeoutMs,
                     [&] {
                         return (desktop = OpenDesktopA(options.desktop.c_str(), 0, FALSE,
                                                        GENERIC_ALL)) != nullptr;
                     }) ||
            !SetThreadDesktop(desktop)) {
            return Fail("cannot open that desktop");
        }
    }
    HWND window = nullptr;
    if (!WaitFor(options.timeoutMs,
                 [&] { return (window = FindWindowA(nullptr, kCaption)) != nullptr; })) {
        return Fail("no VELQO_LAN_MM window");
    }
    // Ready once it has started up: the banner is in its log.
    if (!WaitFor(options.timeoutMs, [&] {
            return SendMessageA(GetDlgItem(window, IDC_LOG), WM_GETTEXTLENGTH, 0, 0) > 0;
        })) {
        return Fail("the window did not start up");
    }
    if (!options.findRange.empty()) {
        return SearchInFind(window, options);
    }
    const HWND tree = GetDlgItem(window, IDC_TREE_BOX);
    // A window that is logged in already (an earlier run) stays so: Login
    // would log it out.
    if (TreeView_GetCount(tree) == 0) {
        SendMessageA(GetDlgItem(window, IDC_LOGIN), BM_CLICK, 0, 0);
    }
    if (!WaitFor(options.timeoutMs, [&] { return TreeView_GetCount(tree) > 0; })) {
        return Fail("the box tree stayed empty: no login");
    }
    if (options.backupsButton != 0) {
        return PressInBackups(window, options);
    }
    if (!options.updateFile.empty()) {
        return UpdateInBackups(window, options);
    }
    const HTREEITEM group = Nth(tree, TreeView_GetRoot(tree), options.group);
    const HTREEITEM file =
        group != nullptr ? Nth(tree, TreeView_GetChild(tree, group), options.file) : nullptr;
    if (file == nullptr) {
        return Fail("no such file in the box tree");
    }
    const HWND download = GetDlgItem(window, IDC_DOWNLOAD);
    for (int i = 0; i < options.downloads; ++i) {
        // A new selection each time: the arrow is enabled by a selection change.
        TreeView_SelectItem(tree, group);
        TreeView_SelectItem(tree, file);
        const auto start = std::chrono::steady_clock::now();
        SendMessageA(download, BM_CLICK, 0, 0);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::printf("download %d: %.1f ms\n", i + 1, took.count());
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const ProcessHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (process && GetProcessMemoryInfo(process.get(), &counters, sizeof counters)) {
        std::printf("peak working set: %zu KiB\n",
                    static_cast<size_t>(counters.PeakWorkingSetSize / 1024));
    }
    std::fflush(stdout);
    return 0;
}
