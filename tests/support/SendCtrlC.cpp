// send_ctrl_c PID: Ctrl+C to every program on the console of process PID
// (Windows only). A program of its own does it, since the sender must leave
// its console for that one and gets the event too; a test program that did
// so would start its later programs without its console.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const DWORD pid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    SetConsoleCtrlHandler(nullptr, TRUE);  // this program's own copy of the event
    FreeConsole();
    if (!AttachConsole(pid) || !GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        return 1;
    }
    FreeConsole();
    return 0;
}
