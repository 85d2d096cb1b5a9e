#include "tests/ui_main/MainWindowFixture.h"

#include <filesystem>

#include "boxsim/DemoContent.h"
#include "tests/support/MessagePump.h"

namespace fs = std::filesystem;

std::unique_ptr<BoxRig> MainWindowFlowTest::s_rig;
BoxSimulator* MainWindowFlowTest::s_box = nullptr;
std::unique_ptr<MainWindowUnderTest> MainWindowFlowTest::s_window;
MainDialog* MainWindowFlowTest::s_dialog = nullptr;
BoxSession* MainWindowFlowTest::s_session = nullptr;
BoxSocket* MainWindowFlowTest::s_socket = nullptr;
UINT MainWindowFlowTest::s_doubleClickMs = 0;

void MainWindowFlowTest::SetUpTestSuite() {
    StartWindowTests();
    s_rig = std::make_unique<BoxRig>();
    fs::create_directories("config");
    std::string error;
    ASSERT_TRUE(MakeDemoFolder(BoxRig::kBoxFolder, "manifest.txt", &error)) << error;
    BoxSimOptions options;
    options.waitPhase = true;  // an upload is stored before Upload returns
    options.recordReceived = true;
    s_box = &s_rig->StartBox(options);
    ASSERT_TRUE(s_box->Running());
    s_window = std::make_unique<MainWindowUnderTest>();
    ASSERT_TRUE(s_window->Open());
    s_dialog = s_window->Dialog();
    s_session = &s_window->Session();
    s_socket = &s_window->Socket();
    SetForegroundWindow(s_dialog->GetSafeHwnd());
    // Two clicks on one item are two clicks here, never a double click.
    s_doubleClickMs = GetDoubleClickTime();
    SetDoubleClickTime(1);
    Pump();
}

void MainWindowFlowTest::TearDownTestSuite() {
    SetDoubleClickTime(s_doubleClickMs);
    s_window.reset();
    s_box = nullptr;
    s_rig.reset();
}

void MainWindowFlowTest::SetUp() {
    ASSERT_NE(s_dialog, nullptr);
    if (s_dialog->LinkState() == link_state::kLoggedIn) {
        Click(IDC_LOGIN);
    }
    SetWindowTextA(Item(IDC_BOX_IP), "127.0.0.1");
    SetWindowTextA(Item(IDC_PASSWORD), "7351");
    s_dialog->m_nPort = s_box->Port();
}
