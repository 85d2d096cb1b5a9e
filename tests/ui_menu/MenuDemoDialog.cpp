#include "MenuDemoDialog.h"

#include "MenuTestIds.h"
#include "framework/CDataExchange.h"
#include "ui/menu/IconMenu.h"

BEGIN_MESSAGE_MAP(MenuDemoDialog, CDialog)
ON_COMMAND_RANGE(ID_OPEN, ID_NOT_ON_TOOLBAR, 0, &MenuDemoDialog::OnMenuCommand)
ON_COMMAND(IDC_MENU_BUTTON, BN_CLICKED, &MenuDemoDialog::OnToolsClicked)
END_MESSAGE_MAP()

MenuDemoDialog::MenuDemoDialog() : CDialog(IDD_MENU_TEST) {}

void MenuDemoDialog::LoadToolbarImages() {
    IconMenu scratch;
    scratch.CreatePopupMenu();
    for (UINT id : {ID_OPEN, ID_SAVE, ID_DELETE}) {
        scratch.AppendIconItem(L"", MF_STRING, id, IDR_TEST_TOOLBAR);
    }
}

BOOL MenuDemoDialog::AttachTestMenu(HWND owner) {
    LoadToolbarImages();
    return m_btnTools.AttachMenu(IDR_TEST_MENU, owner);
}

void MenuDemoDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_MENU_BUTTON, m_btnTools);
}
