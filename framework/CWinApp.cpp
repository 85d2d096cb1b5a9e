#include "framework/CWinApp.h"

#include "framework/CWnd.h"

namespace {

CWinApp* g_app = nullptr;  // not owned: the application's static object

CString ExecutableName() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString name(path);
    const int slash = name.ReverseFind('\\') > name.ReverseFind('/') ? name.ReverseFind('\\')
                                                                     : name.ReverseFind('/');
    name = name.Mid(slash + 1);
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

CWinApp::CWinApp() : m_strAppName(ExecutableName()) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

void CWinApp::SetUp(HINSTANCE instance, const char* cmdLine, int cmdShow) {
    m_hInstance = instance;
    m_lpCmdLine = cmdLine != nullptr ? cmdLine : "";
    m_nCmdShow = cmdShow;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT resourceId) const {
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId));
}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_app != nullptr && g_app->m_hInstance != nullptr) {
        return g_app->m_hInstance;
    }
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}

HINSTANCE AfxFindResourceHandle(const char*, const char*) {
    return AfxGetResourceHandle();
}

void AfxInitCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

int AfxMessageBox(const char* text, UINT type) {
    HWND owner = nullptr;
    if (g_app != nullptr && g_app->m_pMainWnd != nullptr && ::IsWindow(g_app->m_pMainWnd->m_hWnd)) {
        owner = g_app->m_pMainWnd->m_hWnd;
    } else {
        owner = ::GetActiveWindow();
    }
    const CString caption = g_app != nullptr ? g_app->m_strAppName : ExecutableName();
    return ::MessageBoxA(owner, text, caption, type);
}
