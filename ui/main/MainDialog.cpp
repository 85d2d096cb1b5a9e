#include "ui/main/MainDialog.h"

#include <cstdio>
#include <optional>
#include <string>

#include "base/TextEscape.h"
#include "box/BoxSession.h"
#include "framework/CDataExchange.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "resources/resource.h"
#include "ui/flow/LinkState.h"
#include "ui/main/AboutDialog.h"
#include "ui/main/BackupsDialog.h"
#include "ui/main/ButtonIcon.h"
#include "ui/main/FindBoxesDialog.h"
#include "ui/text/FormatHelpDialog.h"

MainDialog* g_pMainDialog = nullptr;

namespace {

constexpr int kTextLimit = 0x200000;
constexpr COLORREF kPanelBack = RGB(230, 230, 255);
constexpr COLORREF kPanelText = RGB(0, 0, 255);
// Pixels between the progress bar and a worker's dialog below it.
constexpr int kBackupsGap = 4;

}  // namespace

BEGIN_MESSAGE_MAP(MainDialog, CDialog)
ON_MESSAGE(WM_SYSCOMMAND, &MainDialog::OnSysCommand)
ON_MESSAGE(WM_PAINT, &MainDialog::OnPaint)
ON_MESSAGE(WM_QUERYDRAGICON, &MainDialog::OnQueryDragIcon)
ON_MESSAGE(WM_DESTROY, &MainDialog::OnDestroy)
ON_MESSAGE(WM_CLOSE, &MainDialog::OnClose)
ON_WM_CTLCOLOR(&CWnd::OnCtlColor)
ON_COMMAND(IDC_LOGIN, BN_CLICKED, &MainDialog::OnLogin)
ON_COMMAND(IDC_DOWNLOAD, BN_CLICKED, &MainDialog::OnDownload)
ON_COMMAND(IDC_UPLOAD, BN_CLICKED, &MainDialog::OnUpload)
ON_COMMAND(IDC_SAVE, BN_CLICKED, &MainDialog::OnSave)
ON_COMMAND(IDC_CLEAR, BN_CLICKED, &MainDialog::OnClear)
ON_COMMAND(IDC_FORMAT_HELP, BN_CLICKED, &MainDialog::OnFormatHelp)
ON_NOTIFY(NM_CLICK, IDC_TREE_BOX, &MainDialog::OnBoxTreeClick)
ON_NOTIFY(TVN_SELCHANGEDA, IDC_TREE_BOX, &MainDialog::OnBoxTreeSelChanged)
ON_NOTIFY(NM_KILLFOCUS, IDC_TREE_BOX, &MainDialog::OnBoxTreeKillFocus)
ON_NOTIFY(NM_CLICK, IDC_TREE_LOCAL, &MainDialog::OnLocalTreeClick)
ON_NOTIFY(TVN_SELCHANGEDA, IDC_TREE_LOCAL, &MainDialog::OnLocalTreeSelChanged)
ON_NOTIFY(NM_KILLFOCUS, IDC_TREE_LOCAL, &MainDialog::OnLocalTreeKillFocus)
END_MESSAGE_MAP()

MainDialog::MainDialog(CWnd* parent)
    : CDialog(IDD_MAIN, parent),
      m_hIcon(AfxGetApp() != nullptr
                  ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                  : ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_status(*this, m_stcStatus) {
    // The fields start with the settings' defaults.
    const BoxSettings& defaults = m_flow.Settings();
    m_strBoxIp = defaults.BoxIp();
    m_nPort = defaults.GetPort();
    m_strPassword = defaults.Password();
}

MainDialog::~MainDialog() {
    if (g_pMainDialog == this) {
        g_pMainDialog = nullptr;
    }
}

void MainDialog::AttachSession(BoxSession* pSession) {
    m_flow.AttachSession(pSession);
    pSession->SetLogSink(&MainDialog::AppendLog);
    pSession->SetProgressSink(&MainDialog::SetProgress);
}

void MainDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LOGIN, m_btnLogin);
    DDX_Control(dx, IDOK, m_btnExit);
    DDX_Control(dx, IDC_STATUS, m_stcStatus);
    DDX_Control(dx, IDC_CLEAR, m_btnClear);
    DDX_Control(dx, IDC_FORMAT_HELP, m_btnHelp);
    DDX_Control(dx, IDC_SAVE, m_btnSave);
    DDX_Control(dx, IDC_TEXT, m_editText);
    DDX_Control(dx, IDC_TREE_BOX, m_treeBox);
    DDX_Control(dx, IDC_TREE_LOCAL, m_treeLocal);
    DDX_Control(dx, IDC_LOG, m_editLog);
    DDX_Control(dx, IDC_UPLOAD, m_btnUpload);
    DDX_Control(dx, IDC_DOWNLOAD, m_btnDownload);
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    DDX_Text(dx, IDC_BOX_IP, m_strBoxIp);
    DDX_Text(dx, IDC_PASSWORD, m_strPassword);
    DDV_MaxChars(dx, m_strPassword, static_cast<int>(setting_rules::kMaxPasswordLength));
}

BOOL MainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_menu.AddEntries();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_console.Init();
    m_trees.Init();

    ButtonIcon::Set(m_btnUpload, IDI_UPLOAD);
    ButtonIcon::Set(m_btnDownload, IDI_DOWNLOAD);
    m_btnDownload.EnableWindow(FALSE);
    m_btnUpload.EnableWindow(FALSE);
    ButtonIcon::Set(m_btnSave, IDI_SAVE);
    ButtonIcon::Set(m_btnHelp, IDI_FORMAT_HELP);
    ButtonIcon::Set(m_btnClear, IDI_CLEAR);
    ButtonIcon::Set(m_btnExit, IDI_EXIT);

    m_editText.SetBackColor(kPanelBack);
    m_editText.SetForeColor(kPanelText);
    m_btnLogin.SetIcons(IDI_LOGIN, IDI_LOGIN);

    m_console.Greet();

    BoxSettings& settings = m_flow.Settings();
    if (settings.Load()) {
        char text[33];
        settings.GetBoxIp(text, sizeof text);
        m_strBoxIp = text;
        settings.GetPassword(text, sizeof text);
        m_strPassword = text;
    }
    UpdateData(FALSE);

    std::string address;
    if (m_flow.LookUpLinkState(&address)) {
        if (m_flow.LinkState() == link_state::kNoNetwork) {
            AppendLog("Network NOT connected , please check !\n", 0);
        } else {
            AppendLog(("Local IP is " + address + " .\n").c_str(), 0);
        }
    }

    m_console.TakeFocus();
    m_editText.SetLimitText(kTextLimit);
    return FALSE;
}

int MainDialog::AppendLog(const char* text, int colorCode) {
    MainDialog* window = g_pMainDialog;
    return window != nullptr ? window->m_sinks.Log(text, colorCode) : 0;
}

int MainDialog::SetProgress(int percent) {
    MainDialog* window = g_pMainDialog;
    return window != nullptr ? window->m_sinks.Progress(percent) : 0;
}

void MainDialog::OnPaint() {
    CPaintDC dc(this);
    if (IsIconic()) {
        m_status.PaintIcon(dc.GetSafeHdc(), m_hIcon);
        return;
    }
    m_status.Paint(dc.GetSafeHdc(), m_flow.LinkState());
    Default();
}

LRESULT MainDialog::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

BOOL MainDialog::PreTranslateMessage(MSG* msg) {
    return m_menu.PostShortcut(*msg) ? TRUE : CDialog::PreTranslateMessage(msg);
}

LRESULT MainDialog::OnSysCommand(WPARAM wParam, LPARAM) {
    switch (m_menu.EntryChosen(wParam)) {
        case IDM_ABOUTBOX: {
            AboutDialog about;
            about.DoModal();
            return 0;
        }
        case IDM_FIND_BOXES:
            OnFindBoxes();
            return 0;
        case IDM_BACKUPS:
            OnBackups();
            return 0;
        default:
            // A greyed entry's command does nothing; the system's are the system's.
            return SystemMenu::IsEntry(wParam) ? 0 : Default();
    }
}

void MainDialog::OnBackups() {
    BackupsFlow flow(*m_flow.Session(), BackupShelf::kFolder, m_flow.Settings().BoxIp(),
                     m_flow.Settings().Password());
    BackupsDialog backups(this, BelowTheBar(), flow, *this);
    RunWorkerDialog(backups, backups);
}

void MainDialog::OnFindBoxes() {
    UpdateData(TRUE);
    FindBoxesDialog find(this, BelowTheBar(), *this,
                         {m_nPort, std::string(m_strPassword), BackupShelf::kFolder});
    RunWorkerDialog(find, find);
    if (!find.Chosen().empty()) {
        m_strBoxIp = find.Chosen().c_str();
        UpdateData(FALSE);
    }
}

POINT MainDialog::BelowTheBar() {
    RECT bar;
    m_progress.GetWindowRect(&bar);
    POINT clientLeft{0, 0};
    ClientToScreen(&clientLeft);
    return {clientLeft.x, bar.bottom + kBackupsGap};
}

void MainDialog::RunWorkerDialog(CDialog& dialog, WorkerClient& client) {
    if (m_sinks.RunModal(dialog, client)) {
        PostMessage(WM_CLOSE, 0, 0);
    }
}

LRESULT MainDialog::OnClose(WPARAM, LPARAM) {
    // A worker's dialog first: it stops its work and closes once that has
    // ended; then the window closes.
    return m_sinks.CloseNow() ? Default() : 0;
}

void MainDialog::BoxWorkStarting() {
    m_console.Hold();
    // The worker has the session: nothing else may use it meanwhile.
    m_btnLogin.EnableWindow(FALSE);
    m_btnDownload.EnableWindow(FALSE);
    m_btnUpload.EnableWindow(FALSE);
}

void MainDialog::BoxWorkLogged(const std::string& text, int colorCode) {
    AppendLog(text.c_str(), colorCode);
}

void MainDialog::BoxWorkProgress(int percent) {
    SetProgress(percent);
}

void MainDialog::ShowBoxWork() {
    m_console.ShowKept();
}

void MainDialog::AfterBoxWork() {
    m_console.Release();
    m_btnLogin.EnableWindow(TRUE);
    if (m_flow.DropLostLink()) {
        ResetToLoggedOut();
        return;
    }
    // A backup writes under backup\, a restore writes to the box: the tree
    // changes only when something else touched the working directory.
    m_trees.RefreshLocal(m_flow.Catalog());
}

void MainDialog::OnDestroy() {
    Default();
    m_flow.LogoutOnClose();
    m_status.EndGdiplus();
}

void MainDialog::ShowLoginButton(bool loggedIn) {
    const UINT icon = loggedIn ? IDI_LOGOUT : IDI_LOGIN;
    m_btnLogin.SetIcons(icon, icon);
    m_btnLogin.SetWindowText(loggedIn ? "Logout" : "Login");
    m_menu.EnableBackups(loggedIn);
}

void MainDialog::OnLogin() {
    UpdateData(TRUE);
    m_flow.SaveSettings(m_strBoxIp, m_nPort, m_strPassword);
    if (m_flow.IsLoggedIn()) {
        m_flow.Logout();
        ShowLoginButton(false);
        ResetToLoggedOut();
        return;
    }
    switch (m_flow.Login(m_strBoxIp, m_nPort, m_strPassword)) {
        case LoginOutcome::kLoggedIn:
            DrawStatusPicture(link_state::kLoggedIn);
            ShowLoginButton(true);
            FillBoxTree();
            m_trees.ShowLocal(m_flow.Catalog());
            break;
        case LoginOutcome::kBadAddress:
        case LoginOutcome::kRefused:
            break;  // the log has said why; everything stays as it was
        case LoginOutcome::kCannotConnect:
        case LoginOutcome::kPortClosed:
            ResetToLoggedOut();
            break;
    }
}

void MainDialog::ResetToLoggedOut() {
    m_trees.Clear();
    if (m_flow.ResetToLoggedOut()) {
        DrawStatusPicture(m_flow.LinkState());
    }
    m_btnUpload.EnableWindow(FALSE);
    m_btnDownload.EnableWindow(FALSE);
    m_editText.ClearText();
    SetDlgItemText(IDC_SEL_FILE, " ");
    ShowLoginButton(false);
}

void MainDialog::FillBoxTree() {
    m_flow.FetchCatalog();
    m_trees.ShowBox(m_flow.Catalog());
}

void MainDialog::ShowSelectedFile() {
    m_editText.LoadTextFile(m_flow.SelectedFile());
    char line[FileCatalog::kFileNameSize + 8];
    std::snprintf(line, sizeof line, " [%s] ", m_flow.SelectedFile());
    SetDlgItemText(IDC_SEL_FILE, line);
}

void MainDialog::OnDownload() {
    m_trees.ShowLocal(m_flow.Catalog());
    UpdateData(TRUE);
    m_btnDownload.EnableWindow(FALSE);
    const std::optional<std::string> name = m_trees.SelectedName(FileTrees::Tree::kBox);
    if (!name) {
        return;
    }
    const bool isText = m_flow.Download(name->c_str());
    m_trees.ShowLocal(m_flow.Catalog(), name->c_str());
    if (isText) {
        ShowSelectedFile();
    }
}

void MainDialog::OnUpload() {
    const std::optional<std::string> name = m_trees.SelectedName(FileTrees::Tree::kLocal);
    if (name && m_flow.Upload(name->c_str()) < 0) {
        ResetToLoggedOut();
    }
}

void MainDialog::OnSave() {
    if (const char* target = m_flow.SaveTarget();
        target != nullptr && m_editText.SaveTextFile(target)) {
        AppendLog((std::string("Saved ") + target + "\n").c_str(), 0);
    }
}

void MainDialog::OnClear() {
    m_editText.ClearText();
}

void MainDialog::OnFormatHelp() {
    FormatHelpDialog help(nullptr);
    if (help.FindHelpPage(m_flow.SelectedFile())) {
        help.DoModal();
    } else {
        const std::string name = EscapeLogText(m_flow.SelectedFile());
        m_console.AppendUnescaped(
            "No help page " + FormatHelpDialog::ShownPagePath(name.c_str()) + "\n", 0);
    }
}

void MainDialog::OnBoxTreeClick(NMHDR*, LRESULT*) {
    m_arrows.Click(FileTrees::Tree::kBox);
}

void MainDialog::OnBoxTreeSelChanged(NMHDR* header, LRESULT*) {
    UpdateData(TRUE);
    CString text;
    m_arrows.SelChanged(FileTrees::Tree::kBox, header, text);
}

void MainDialog::OnBoxTreeKillFocus(NMHDR*, LRESULT*) {
    m_arrows.KillFocus(FileTrees::Tree::kBox, GetFocus());
}

void MainDialog::OnLocalTreeClick(NMHDR*, LRESULT*) {
    m_arrows.Click(FileTrees::Tree::kLocal);
}

void MainDialog::OnLocalTreeSelChanged(NMHDR* header, LRESULT*) {
    UpdateData(TRUE);
    CString text;
    const char* item = m_arrows.SelChanged(FileTrees::Tree::kLocal, header, text);
    if (item != nullptr && m_flow.SelectTextFile(item)) {
        ShowSelectedFile();
    }
}

void MainDialog::OnLocalTreeKillFocus(NMHDR*, LRESULT*) {
    m_arrows.KillFocus(FileTrees::Tree::kLocal, GetFocus());
}
