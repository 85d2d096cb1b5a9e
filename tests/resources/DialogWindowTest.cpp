// Windows made from the dialog templates by the real dialog manager: the
// controls exist with their classes, ids, texts, styles and places.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "MainWindowLayout.h"
#include "ScopedHandles.h"
#include "base/Version.h"
#include "resource.h"

namespace {

const HMODULE kModule = GetModuleHandleW(nullptr);

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::vector<HWND> Children(HWND dlg) {
    std::vector<HWND> children;
    for (HWND w = GetWindow(dlg, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        children.push_back(w);
    }
    return children;
}

std::wstring TextOf(HWND w) {
    wchar_t buf[256] = {};
    GetWindowTextW(w, buf, 256);
    return buf;
}

std::wstring ClassOf(HWND w) {
    wchar_t buf[256] = {};
    GetClassNameW(w, buf, 256);
    return buf;
}

DWORD StyleOf(HWND w) {
    return static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
}
DWORD ExStyleOf(HWND w) {
    return static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE));
}

// Where the dialog manager puts a control: position and size are converted
// from dialog units each on its own.
RECT DialogUnits(HWND dlg, int x, int y, int cx, int cy) {
    RECT r{x, y, cx, cy};
    MapDialogRect(dlg, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT PlaceInParent(HWND dlg, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectRectEq(const RECT& got, const RECT& want) {
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
}

class DialogWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The main window's trees and progress bar are common controls.
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
    }

    static scoped::Window Create(int id) {
        return scoped::Window(
            CreateDialogParamW(kModule, MAKEINTRESOURCEW(id), nullptr, QuietDialogProc, 0));
    }
};

}  // namespace

TEST_F(DialogWindowTest, MainWindowFrameAndFont) {
    scoped::Window dlg = Create(IDD_MAIN);
    ASSERT_NE(dlg, nullptr);
    HWND w = dlg.get();
    EXPECT_EQ(TextOf(w), L"VELQO_LAN_MM");
    DWORD style = StyleOf(w);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(ExStyleOf(w) & WS_EX_APPWINDOW);
    EXPECT_TRUE(ExStyleOf(w) & WS_EX_DLGMODALFRAME);

    RECT client{};
    GetClientRect(w, &client);
    RECT want = DialogUnits(w, 0, 0, 410, 472);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);

    auto font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW lf{};
    ASSERT_NE(GetObjectW(font, sizeof(lf), &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_FALSE(lf.lfItalic);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
}

TEST_F(DialogWindowTest, MainWindowControls) {
    scoped::Window dlg = Create(IDD_MAIN);
    ASSERT_NE(dlg, nullptr);
    std::vector<HWND> children = Children(dlg.get());
    const auto& want = MainWindowControls();
    ASSERT_EQ(children.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " id " + std::to_string(want[i].id));
        HWND c = children[i];
        EXPECT_EQ(GetDlgCtrlID(c), want[i].id);
        EXPECT_EQ(_wcsicmp(ClassOf(c).c_str(), want[i].className), 0) << "class";
        EXPECT_EQ(TextOf(c), want[i].text);

        // Controls may trade the flat border of their template for an edge of
        // their own when they are created (edits and trees for a client edge;
        // a themed progress bar draws its own frame and drops it), so the
        // border is checked where it must stay visible as such.
        DWORD wantStyle = (WS_CHILD | WS_VISIBLE | want[i].style) & ~WS_BORDER;
        EXPECT_EQ(StyleOf(c) & wantStyle, wantStyle) << std::hex << StyleOf(c);
        EXPECT_EQ(ExStyleOf(c) & want[i].exStyle, want[i].exStyle) << std::hex << ExStyleOf(c);
        if (_wcsicmp(want[i].className, L"msctls_progress32") != 0) {
            bool framed =
                (StyleOf(c) & WS_BORDER) || (ExStyleOf(c) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
            EXPECT_EQ(framed, (want[i].style & WS_BORDER) != 0);
        }
        if (_wcsicmp(want[i].className, L"Button") == 0) {
            EXPECT_EQ(StyleOf(c) & BS_TYPEMASK, want[i].style & BS_TYPEMASK);
        }
        if (_wcsicmp(want[i].className, L"Static") == 0) {
            EXPECT_EQ(StyleOf(c) & SS_TYPEMASK, want[i].style & SS_TYPEMASK);
        }
        ExpectRectEq(PlaceInParent(dlg.get(), c),
                     DialogUnits(dlg.get(), want[i].x, want[i].y, want[i].cx, want[i].cy));
    }
}

TEST_F(DialogWindowTest, AboutBoxShowsIconAndDefaultOk) {
    scoped::Window dlg = Create(IDD_ABOUTBOX);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(TextOf(dlg.get()), L"About VELQO_LAN_MM");
    std::vector<HWND> children = Children(dlg.get());
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(TextOf(children[0]), L"VELQO_LAN_MM Version " VELQO_VERSION_TEXT);
    EXPECT_FALSE(TextOf(children[1]).empty());

    HWND ok = GetDlgItem(dlg.get(), IDOK);
    ASSERT_EQ(ok, children[2]);
    EXPECT_EQ(StyleOf(ok) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    LRESULT def = SendMessageW(dlg.get(), DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(def), DC_HASDEFID);
    EXPECT_EQ(LOWORD(def), IDOK);

    // The icon static found icon 128 through the template's ordinal.
    EXPECT_EQ(StyleOf(children[3]) & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_NE(SendMessageW(children[3], STM_GETICON, 0, 0), 0);
}

TEST_F(DialogWindowTest, FormatHelpHasOnlyTheReadOnlyText) {
    scoped::Window dlg = Create(IDD_FORMAT_HELP);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(TextOf(dlg.get()), L"Format help");
    DWORD frame = StyleOf(dlg.get());
    EXPECT_TRUE(frame & WS_CAPTION);
    EXPECT_TRUE(frame & WS_SYSMENU);
    EXPECT_FALSE(frame & WS_MINIMIZEBOX);
    EXPECT_FALSE(frame & WS_MAXIMIZEBOX);

    std::vector<HWND> children = Children(dlg.get());
    ASSERT_EQ(children.size(), 1u);
    HWND edit = children[0];
    EXPECT_EQ(GetDlgCtrlID(edit), IDC_HELP_TEXT);
    EXPECT_EQ(_wcsicmp(ClassOf(edit).c_str(), L"Edit"), 0);
    DWORD style = StyleOf(edit);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_FALSE(style & WS_TABSTOP);
    EXPECT_FALSE(style & ES_WANTRETURN);
    ExpectRectEq(PlaceInParent(dlg.get(), edit), DialogUnits(dlg.get(), 0, 1, 356, 155));
}
