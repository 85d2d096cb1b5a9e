#include "tests/ui_main/ModalLoopDriver.h"

#include <map>

#include "tests/ui_main/WindowDriver.h"

namespace {

constexpr UINT kLookEveryMs = 50;
constexpr int kMostLooks = 50;  // then the window is taken not to come
constexpr DWORD kSettleMs = 150;

struct Drive {
    const char* windowClass;
    const char* title;
    const std::function<void(HWND)>* act;  // not owned
    int looks = 0;
    bool seen = false;
};

// Drives by their timers: a window's `act` may open another modal window.
std::map<UINT_PTR, Drive*> g_drives;

void CALLBACK Look(HWND, UINT, UINT_PTR timer, DWORD) {
    const auto found = g_drives.find(timer);
    if (found == g_drives.end()) {
        return;
    }
    Drive& drive = *found->second;
    const HWND window = FindWindowA(drive.windowClass, drive.title);
    if (window == nullptr) {
        if (++drive.looks > kMostLooks) {
            KillTimer(nullptr, timer);
        }
        return;
    }
    // Stopped before acting: the act's own modal loops would tick it again.
    KillTimer(nullptr, timer);
    drive.seen = true;
    (*drive.act)(window);
}

}  // namespace

bool InModalLoop(const char* windowClass, const char* title, const std::function<void()>& open,
                 const std::function<void(HWND)>& act) {
    Drive drive{windowClass, title, &act};
    const UINT_PTR timer = SetTimer(nullptr, 0, kLookEveryMs, Look);
    g_drives[timer] = &drive;
    open();
    Pump();
    Sleep(kSettleMs);
    Pump();
    KillTimer(nullptr, timer);
    g_drives.erase(timer);
    return drive.seen;
}
