// The floor under the window's memory: a top-level window with an edit
// control and the common controls, as little as a dialog program can be,
// shown for a moment under the same Wine; prints its peak working set in
// KiB (the window benchmark's "empty window" line) and ends.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>

namespace {

constexpr UINT kShownMs = 1000;

void CALLBACK Measure(HWND, UINT, UINT_PTR, DWORD) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        std::printf("peak working set: %zu KiB\n",
                    static_cast<size_t>(counters.PeakWorkingSetSize / 1024));
    }
    std::fflush(stdout);
    PostQuitMessage(0);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    // Destroyed with the process, which ends right after.
    const HWND window = CreateWindowA("STATIC", "empty", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      400, 300, nullptr, nullptr, instance, nullptr);
    CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 200, 100, window,
                  nullptr, instance, nullptr);
    SetTimer(nullptr, 0, kShownMs, Measure);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
