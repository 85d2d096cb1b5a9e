#pragma once
// The program's one window: the connection area, the log console, the two file
// trees with the transfer arrows, and the text panel. It wires the controls'
// messages to what MainFlow decides, LogConsole shows and FileTrees fill.
#include <string>

#include <windows.h>

#include "framework/CBitmapButton.h"
#include "framework/CDialog.h"
#include "framework/CProgressCtrl.h"
#include "framework/CStatic.h"
#include "framework/CString.h"
#include "framework/CTreeCtrl.h"
#include "ui/flow/MainFlow.h"
#include "ui/main/BoxWorkHost.h"
#include "ui/main/FileTrees.h"
#include "ui/main/LogConsole.h"
#include "ui/main/SinkRouter.h"
#include "ui/main/StatusPicture.h"
#include "ui/main/SystemMenu.h"
#include "ui/main/TreeArrows.h"
#include "ui/main/WorkerClient.h"
#include "ui/text/ColorEdit.h"
#include "ui/widgets/IconButton.h"

class BoxSession;

class MainDialog : public CDialog, private BoxWorkHost {
public:
    explicit MainDialog(CWnd* parent = nullptr);
    ~MainDialog() override;

    // Keeps the session and its socket (neither owned) and makes this window
    // the session's log and progress sinks.
    void AttachSession(BoxSession* pSession);

    // The session's LogSink and ProgressSink; they reach the window through
    // g_pMainDialog, as the sinks carry no context. On the window's thread
    // they show the line or the position and paint it at once; on the worker
    // of the dialog open (SinkRouter) they hand it to the dialog, which posts
    // it to this thread, and touch no control.
    static int AppendLog(const char* text, int colorCode);
    static int SetProgress(int percent);

    // Draws the status picture of `state` into the status area at once.
    void DrawStatusPicture(int state) { m_status.Draw(state); }

    int LinkState() const { return m_flow.LinkState(); }
    const char* SelectedFile() const { return m_flow.SelectedFile(); }

    IconButton m_btnLogin;
    CBitmapButton m_btnExit;
    CStatic m_stcStatus;
    CBitmapButton m_btnClear;
    CBitmapButton m_btnHelp;
    CBitmapButton m_btnSave;
    ColorEdit m_editText;
    CTreeCtrl m_treeBox;
    CTreeCtrl m_treeLocal;
    ColorEdit m_editLog;
    CBitmapButton m_btnUpload;
    CBitmapButton m_btnDownload;
    CProgressCtrl m_progress;
    CString m_strBoxIp;
    int m_nPort;
    CString m_strPassword;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    // Ctrl+F and Ctrl+B anywhere in the window: the system menu's entries.
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    // While a worker's dialog works, closing waits for its end.
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    // The system menu's entries: the backups dialog and the search for
    // boxes, modal, below the bar; a box chosen in the search goes into BOX IP.
    void OnBackups();
    void OnFindBoxes();
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

    void OnLogin();
    void OnDownload();
    void OnUpload();
    void OnSave();
    void OnClear();
    void OnFormatHelp();
    void OnBoxTreeClick(NMHDR* header, LRESULT* result);
    void OnBoxTreeSelChanged(NMHDR* header, LRESULT* result);
    void OnBoxTreeKillFocus(NMHDR* header, LRESULT* result);
    void OnLocalTreeClick(NMHDR* header, LRESULT* result);
    void OnLocalTreeSelChanged(NMHDR* header, LRESULT* result);
    void OnLocalTreeKillFocus(NMHDR* header, LRESULT* result);

private:
    // Ends a logout, a failed connection and a lost upload: both trees, the
    // catalogue, the selected file and the text panel emptied, the arrows
    // disabled, the Login caption back.
    void ResetToLoggedOut();
    // The catalogue listed by the box again, and shown in the box's tree.
    void FillBoxTree();
    // Where a worker's dialog goes: below the log console and the bar.
    POINT BelowTheBar();
    // `dialog`, modal; while it is open the sinks hand `client` what they
    // are told on its worker, and a close of the window goes to it first.
    void RunWorkerDialog(CDialog& dialog, WorkerClient& client);
    // The Login/Logout caption and icon, and the Backups entry with them.
    void ShowLoginButton(bool loggedIn);
    void BoxWorkStarting() override;
    void BoxWorkLogged(const std::string& text, int colorCode) override;
    void BoxWorkProgress(int percent) override;
    void ShowBoxWork() override;
    // After a backup or a restore: the local tree rebuilt only if the files
    // it shows changed, and the logged-out view when the link is lost.
    void AfterBoxWork() override;
    // Shows the selected text file in the panel and its name in line 1033.
    void ShowSelectedFile();

    HICON m_hIcon;  // shared resource icon, not destroyed
    MainFlow m_flow;
    LogConsole m_console{m_editLog, m_progress};
    FileTrees m_trees{m_treeBox, m_treeLocal};
    TreeArrows m_arrows{m_flow.Arrows(), m_trees, m_btnUpload, m_btnDownload};
    SystemMenu m_menu{*this};
    SinkRouter m_sinks{m_console, m_editLog};
    StatusPicture m_status;
};

// The one main window, for the session's sinks; null when there is none.
extern MainDialog* g_pMainDialog;
