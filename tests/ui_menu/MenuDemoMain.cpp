// The drop-down menu demonstration: the menu dialog with its icon button's
// drop-down opened by a real click and the pointer resting on the disabled item,
// for screenshots of both looks (tools/menu-screenshot.sh). It ends by itself after
// --seconds N (default 60).
#include <cstdlib>
#include <cstring>

#include "MenuDemoDialog.h"
#include "MenuTestIds.h"
#include "framework/CWinApp.h"
#include "tests/support/UserInput.h"
#include "ui/menu/IconMenu.h"

namespace {

constexpr UINT kClickDelayMs = 800;
constexpr UINT kHoverPollMs = 300;
constexpr int kDefaultSeconds = 60;
constexpr int kDeletePos = 4;  // "&Delete", the disabled item of the Tools popup
constexpr int kDialogAt = 16;

class DemoDialog : public MenuDemoDialog {
public:
    explicit DemoDialog(int seconds) : m_nSeconds(seconds) {}

protected:
    BOOL OnInitDialog() override {
        MenuDemoDialog::OnInitDialog();
        AttachTestMenu(m_hWnd);
        m_btnTools.SetIcons(IDI_MENU_DEMO, IDI_MENU_DEMO);
        ::SetWindowPos(m_hWnd, HWND_TOP, kDialogAt, kDialogAt, 0, 0, SWP_NOSIZE);
        s_self = this;
        ::SetTimer(nullptr, 0, kClickDelayMs, &DemoDialog::Click);
        ::SetTimer(nullptr, 0, kHoverPollMs, &DemoDialog::Hover);
        ::SetTimer(nullptr, 0, static_cast<UINT>(m_nSeconds) * 1000, &DemoDialog::Finish);
        return TRUE;
    }

private:
    static void CALLBACK Click(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        SendClickAtCentre(s_self->m_btnTools);
    }
    // Once the drop-down shows, the pointer goes to rest on the disabled item.
    static void CALLBACK Hover(HWND, UINT, UINT_PTR timer, DWORD) {
        CMenu* tools = s_self->m_btnTools.GetDropDownMenu().GetSubMenu(0);
        RECT item{};
        if (tools == nullptr || !s_self->m_btnTools.IsMenuShowing() ||
            !::GetMenuItemRect(nullptr, tools->m_hMenu, kDeletePos, &item)) {
            return;
        }
        ::KillTimer(nullptr, timer);
        SendMouse(MOUSEEVENTF_MOVE,
                  POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    }
    static void CALLBACK Finish(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        ::EndMenu();
        s_self->EndDialog(IDOK);
    }

    static inline DemoDialog* s_self = nullptr;
    int m_nSeconds;
};

class DemoApp : public CWinApp {
public:
    BOOL InitInstance() override {
        int seconds = kDefaultSeconds;
        const char* option = std::strstr(m_lpCmdLine, "--seconds ");
        if (option != nullptr) {
            seconds = std::atoi(option + std::strlen("--seconds "));
        }
        DemoDialog dialog(seconds > 0 ? seconds : kDefaultSeconds);
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

DemoApp theApp;

}  // namespace
