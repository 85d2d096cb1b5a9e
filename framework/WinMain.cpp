// The program's entry: runs the one application object.
#include "base/DllSearch.h"
#include "framework/CWinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    LoadDllsFromSystemOnly();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    AfxInitCommonControls();
    app->SetUp(instance, cmdLine, cmdShow);
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}
