#include "tests/support/MainWindowUnderTest.h"

#include <commctrl.h>

#include "box/NetApi.h"

void StartWindowTests() {
    net::Startup();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
}

bool MainWindowUnderTest::Open() {
    Close();
    m_pDialog = std::make_unique<MainDialog>(nullptr);
    g_pMainDialog = m_pDialog.get();
    m_pDialog->AttachSession(&m_session);
    return m_pDialog->Create(nullptr) != FALSE;
}

void MainWindowUnderTest::Close() {
    if (m_pDialog && m_pDialog->GetSafeHwnd() != nullptr) {
        ::DestroyWindow(m_pDialog->GetSafeHwnd());
    }
    m_pDialog.reset();  // no longer g_pMainDialog either
}
