#pragma once
// A small dialog with an icon button that carries the test menu as its drop-down,
// and the commands and clicks it received. The drop-down tests use it, and the
// demonstration program shows it with the drop-down open.
#include <vector>

#include "framework/CDialog.h"
#include "ui/widgets/IconButton.h"

class MenuDemoDialog : public CDialog {
public:
    MenuDemoDialog();

    // Puts the test tool bar's images of its commands into the shared image list.
    static void LoadToolbarImages();
    // Attaches the test menu to the button; its commands go to `owner` (null: none
    // named).
    BOOL AttachTestMenu(HWND owner);

    IconButton m_btnTools;
    std::vector<UINT> m_commands;  // menu commands this dialog received, in order
    int m_nToolsClicks = 0;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    void OnMenuCommand(UINT id) { m_commands.push_back(id); }
    void OnToolsClicked() { ++m_nToolsClicks; }
};
