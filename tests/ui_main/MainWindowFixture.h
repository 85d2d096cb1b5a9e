#pragma once
// The real main window at work against the substitute box over loopback, in a
// fresh working directory: one window serves the whole suite (the main window's
// flows and its backups dialog); each test starts logged out.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/BoxSimulator.h"
#include "resources/resource.h"
#include "tests/support/BoxRig.h"
#include "tests/support/MainWindowUnderTest.h"
#include "tests/support/TempDir.h"
#include "tests/ui_main/WindowDriver.h"
#include "ui/flow/LinkState.h"
#include "ui/main/MainDialog.h"

class MainWindowFlowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static HWND Item(int id) { return GetDlgItem(s_dialog->GetSafeHwnd(), id); }
    // A press of a button, as BM_CLICK makes it: the focus moves onto it.
    static void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    static std::string Log() { return Text(Item(IDC_LOG)); }
    static bool EndsWith(const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
    static bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
    static void Select(int treeId, const char* text) {
        const HWND tree = Item(treeId);
        const HTREEITEM item = FindTreeItem(tree, text);
        ASSERT_NE(item, nullptr) << text;
        TreeView_SelectItem(tree, item);
        Pump();
    }
    static void LogIn() {
        Click(IDC_LOGIN);
        ASSERT_EQ(s_dialog->LinkState(), link_state::kLoggedIn) << Log();
    }
    // Logged in to another box than the rig's; SetUp points the next test
    // at the rig's box again.
    static void LogInTo(const char* address, uint16_t port) {
        SetWindowTextA(Item(IDC_BOX_IP), address);
        s_dialog->m_nPort = port;
        LogIn();
    }
    static std::string Box(const char* name) {
        return ReadFile((std::filesystem::path(BoxRig::kBoxFolder) / name).string());
    }

    static std::unique_ptr<BoxRig> s_rig;
    static BoxSimulator* s_box;  // not owned: the rig's
    static std::unique_ptr<MainWindowUnderTest> s_window;
    // Parts of s_window, not owned.
    static MainDialog* s_dialog;
    static BoxSession* s_session;
    static BoxSocket* s_socket;
    static UINT s_doubleClickMs;
};
