#pragma once
// The application object: one static instance of a subclass, which the
// framework's WinMain finds through AfxGetApp(). WinMain runs InitInstance; when
// that returns FALSE the application ends with ExitInstance's result, otherwise
// Run runs the message loop and then ExitInstance. The application's message map
// gets the commands that no window handled.
#include "framework/CCmdTarget.h"
#include "framework/CString.h"
#include "framework/FrameworkWin.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop until WM_QUIT, then ExitInstance; returns the exit code.
    virtual int Run();

    // Loads an icon resource of the application's module at the standard size.
    HICON LoadIcon(UINT resourceId) const;

    // No-ops kept for the start-up sequence's sake: this framework hosts no ActiveX
    // controls, so there is no container support to enable, and Windows draws
    // three-dimensional controls itself (there is no separate 3-D control library to
    // load on any supported Windows).
    void Enable3dControls() {}

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_strAppName;        // the executable's name without its extension
    CWnd* m_pMainWnd = nullptr;  // not owned

    // Called by the framework's WinMain before InitInstance.
    void SetUp(HINSTANCE instance, const char* cmdLine, int cmdShow);
};

// The one application object, or null (for example in a test program).
CWinApp* AfxGetApp();
// The application's module: the executable when there is no application object.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The module that holds resource `name` of `type`: the application's module.
HINSTANCE AfxFindResourceHandle(const char* name, const char* type);
// Registers the common control classes (tree view, progress bar, tooltips, ...);
// the framework's WinMain calls it before InitInstance.
void AfxInitCommonControls();
// See Enable3dControls: nothing to enable on this platform.
inline void AfxEnableControlContainer() {}
// A message box owned by the application's main window (or the active window),
// captioned with the application's name.
int AfxMessageBox(const char* text, UINT type = MB_OK);
