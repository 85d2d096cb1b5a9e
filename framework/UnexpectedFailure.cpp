#include "framework/UnexpectedFailure.h"

#include <cstdio>
#include <exception>

#include "framework/CWinApp.h"

namespace fw {

void EndOnUnexpectedException(const char* where) noexcept {
    // The message box runs a message loop: a second failure inside it ends at once.
    static bool s_ending = false;
    // The exception being handled lives until the caller's catch block ends.
    const char* what = "an exception of unknown type";
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    // Fixed buffers: memory may be what ran out.
    CWinApp* app = AfxGetApp();
    const char* name = app != nullptr ? app->m_strAppName.GetString() : "The program";
    char text[1024];
    std::snprintf(text, sizeof text, "%s met an unexpected failure in %s: %s. It ends now.", name,
                  where, what);
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    ::OutputDebugStringA(text);
    if (!s_ending) {
        s_ending = true;
        ::MessageBoxA(nullptr, text, name, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
    ::ExitProcess(kExitUnexpectedFailure);
}

}  // namespace fw
