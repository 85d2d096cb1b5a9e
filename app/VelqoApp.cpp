#include "app/VelqoApp.h"

#include <memory>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/NetApi.h"
#include "ui/main/MainDialog.h"

BoxSocket* g_pBoxSocket = nullptr;
BoxSession* g_pBoxSession = nullptr;

namespace {

// The box link lives until the process ends; these own it.
std::unique_ptr<BoxSocket> g_socket;
std::unique_ptr<BoxSession> g_session;

VelqoApp theApp;

}  // namespace

BOOL VelqoApp::InitInstance() {
    if (net::Startup() != 0) {
        return FALSE;
    }
    AfxEnableControlContainer();
    Enable3dControls();
    g_socket = std::make_unique<BoxSocket>();
    g_pBoxSocket = g_socket.get();
    g_session = std::make_unique<BoxSession>(g_pBoxSocket);
    g_pBoxSession = g_session.get();

    MainDialog dialog(nullptr);
    g_pMainDialog = &dialog;
    dialog.AttachSession(g_pBoxSession);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    g_pMainDialog = nullptr;
    return FALSE;
}

int VelqoApp::ExitInstance() {
    return CWinApp::ExitInstance();
}
