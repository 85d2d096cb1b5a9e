#include "ui/main/MainDialog.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "base/Version.h"
#include "box/BoxSession.h"
#include "framework/CDataExchange.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "framework/CWindowDC.h"
#include "resources/resource.h"
#include "ui/flow/LinkState.h"
#include "ui/main/AboutDialog.h"
#include "ui/main/BackupsDialog.h"
#include "ui/main/GdiplusGraphics.h"
#include "ui/main/GdiplusImage.h"
#include "ui/text/FormatHelpDialog.h"

MainDialog* g_pMainDialog = nullptr;

namespace {

constexpr int kTextLimit = 0x200000;
constexpr COLORREF kPanelBack = RGB(230, 230, 255);
constexpr COLORREF kPanelText = RGB(0, 0, 255);
// Pixels between the progress bar and the backups dialog below it.
constexpr int kBackupsGap = 4;
// The key that opens the backups dialog with Ctrl, as its menu entry says.
constexpr WPARAM kBackupsKey = 'B';

std::string ProgramFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    return name != nullptr ? name + 1 : path;
}

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
      m_nWindowThread(::GetCurrentThreadId()) {
    // The fields start with the settings' defaults.
    const BoxSettings& defaults = m_flow.Settings();
    m_strBoxIp = defaults.BoxIp();
    m_nPort = defaults.GetPort();
    m_strPassword = defaults.Password();
    Gdiplus::GdiplusStartup(&m_nGdiplusToken, &m_gdiplusInput, nullptr);
}

MainDialog::~MainDialog() {
    // Normally done when the window goes; also when it was never created.
    if (m_nGdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(m_nGdiplusToken);
    }
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
    AddAboutMenuItem();
    AddBackupsMenuItem();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_console.Init();
    m_trees.Init();

    SetButtonIcon(m_btnUpload, IDI_UPLOAD);
    SetButtonIcon(m_btnDownload, IDI_DOWNLOAD);
    m_btnDownload.EnableWindow(FALSE);
    m_btnUpload.EnableWindow(FALSE);
    SetButtonIcon(m_btnSave, IDI_SAVE);
    SetButtonIcon(m_btnHelp, IDI_FORMAT_HELP);
    SetButtonIcon(m_btnClear, IDI_CLEAR);
    SetButtonIcon(m_btnExit, IDI_EXIT);

    m_editText.SetBackColor(kPanelBack);
    m_editText.SetForeColor(kPanelText);
    m_btnLogin.SetIcons(IDI_LOGIN, IDI_LOGIN);

    AppendLog((ProgramFileName() + " - the LAN manager of your set-top box - www.velqo.example\n")
                  .c_str(),
              0);
    AppendLog((std::string("Version: v") + version::kText + "\n").c_str(), 0);

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

void MainDialog::AddAboutMenuItem() {
    const HMENU menu = GetSystemMenu(FALSE);  // the system's, not owned
    if (menu == nullptr) {
        return;
    }
    char text[256] = {};
    LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, text, sizeof text);
    if (text[0] != '\0') {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
    }
}

void MainDialog::AddBackupsMenuItem() {
    const HMENU menu = GetSystemMenu(FALSE);  // the system's, not owned
    char text[256] = {};
    LoadStringA(AfxGetResourceHandle(), IDS_BACKUPS, text, sizeof text);
    if (menu == nullptr || text[0] == '\0') {
        return;
    }
    // Usable only while logged in: a backup goes through the window's session.
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, IDM_BACKUPS, text);
}

void MainDialog::EnableBackupsMenuItem(bool enable) {
    if (const HMENU menu = GetSystemMenu(FALSE)) {
        ::EnableMenuItem(menu, IDM_BACKUPS, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    }
}

void MainDialog::SetButtonIcon(CButton& button, UINT iconId) {
    // Resource icons loaded with LoadImage(LR_SHARED) belong to the system.
    const HICON icon =
        static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    button.SetIcon(icon);
}

int MainDialog::AppendLog(const char* text, int colorCode) {
    MainDialog* window = g_pMainDialog;
    if (window == nullptr || text == nullptr) {
        return 0;
    }
    if (!window->OnWindowThread()) {
        if (window->m_pBackups != nullptr) {
            window->m_pBackups->WorkerLogged(text, colorCode);
        }
        return 0;
    }
    if (window->m_editLog.GetSafeHwnd() == nullptr) {
        return 0;
    }
    window->m_console.Append(text, colorCode);
    return 0;
}

int MainDialog::SetProgress(int percent) {
    MainDialog* window = g_pMainDialog;
    if (window == nullptr) {
        return 0;
    }
    if (!window->OnWindowThread()) {
        if (window->m_pBackups != nullptr) {
            window->m_pBackups->WorkerPercent(percent);
        }
        return 0;
    }
    return window->m_console.SetProgress(percent);
}

void MainDialog::DrawStatusPicture(int state) {
    CWindowDC dc(&m_stcStatus);
    GdiplusGraphics graphics(dc.GetSafeHdc());
    const GdiplusImage picture(link_state::PicturePath(state), true);
    graphics.DrawImage(picture, 0, 0);
}

void MainDialog::OnPaint() {
    CPaintDC dc(this);
    if (IsIconic()) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        RECT client;
        GetClientRect(&client);
        const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
        return;
    }
    GdiplusGraphics graphics(dc.GetSafeHdc());
    const GdiplusImage picture(link_state::PicturePath(m_flow.LinkState()), false);
    RECT area;
    m_stcStatus.GetWindowRect(&area);
    ScreenToClient(&area);
    graphics.DrawImage(picture, area.left, area.top, area.right - area.left,
                       area.bottom - area.top);
    Default();
}

LRESULT MainDialog::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

BOOL MainDialog::PreTranslateMessage(MSG* msg) {
    const bool ctrlB = msg->message == WM_KEYDOWN && msg->wParam == kBackupsKey &&
                       ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0 &&
                       ::GetKeyState(VK_SHIFT) >= 0;
    if (ctrlB && (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        // As the menu sends it, so that a greyed entry does nothing here too.
        PostMessage(WM_SYSCOMMAND, IDM_BACKUPS, 0);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

LRESULT MainDialog::OnSysCommand(WPARAM wParam, LPARAM) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    if ((wParam & 0xFFF0) == IDM_BACKUPS) {
        // A command can be sent for a greyed item too: it does nothing then.
        const HMENU menu = GetSystemMenu(FALSE);
        if (menu != nullptr && (::GetMenuState(menu, IDM_BACKUPS, MF_BYCOMMAND) & MF_GRAYED) == 0) {
            OnBackups();
        }
        return 0;
    }
    return Default();
}

void MainDialog::OnBackups() {
    // Below the log console and the bar, which show a backup's progress.
    RECT bar;
    m_progress.GetWindowRect(&bar);
    POINT clientLeft{0, 0};
    ClientToScreen(&clientLeft);
    BackupsFlow flow(*m_flow.Session(), BackupShelf::kFolder, m_flow.Settings().BoxIp());
    BackupsDialog backups(this, {clientLeft.x, bar.bottom + kBackupsGap}, flow, *this);
    m_pBackups = &backups;
    backups.DoModal();
    m_pBackups = nullptr;
    if (m_bCloseAfterBackups) {
        m_bCloseAfterBackups = false;
        PostMessage(WM_CLOSE, 0, 0);
    }
}

LRESULT MainDialog::OnClose(WPARAM, LPARAM) {
    // The backups dialog first: it stops its work and closes once that has
    // ended; then the window closes.
    if (m_pBackups != nullptr) {
        m_bCloseAfterBackups = true;
        m_pBackups->CloseWhenStopped();
        return 0;
    }
    return Default();
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
    Gdiplus::GdiplusShutdown(m_nGdiplusToken);
    m_nGdiplusToken = 0;
}

void MainDialog::ShowLoginButton(bool loggedIn) {
    const UINT icon = loggedIn ? IDI_LOGOUT : IDI_LOGIN;
    m_btnLogin.SetIcons(icon, icon);
    m_btnLogin.SetWindowText(loggedIn ? "Logout" : "Login");
    EnableBackupsMenuItem(loggedIn);
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
        AppendLog(("No help page " + FormatHelpDialog::ShownPagePath(m_flow.SelectedFile()) + "\n")
                      .c_str(),
                  0);
    }
}

void MainDialog::ApplyArrows(const ArrowChanges& changes) {
    const auto apply = [](CButton& button, ButtonChange change) {
        if (change != ButtonChange::kUnchanged) {
            button.EnableWindow(change == ButtonChange::kEnable);
        }
    };
    apply(m_btnUpload, changes.upload);
    apply(m_btnDownload, changes.download);
}

void MainDialog::OnBoxTreeClick(NMHDR*, LRESULT*) {
    CString text;
    ApplyArrows(m_flow.Arrows().BoxTreeClick(m_trees.SelectedText(FileTrees::Tree::kBox, text)));
}

void MainDialog::OnBoxTreeSelChanged(NMHDR* header, LRESULT*) {
    UpdateData(TRUE);
    CString text;
    ApplyArrows(m_flow.Arrows().BoxTreeSelChanged(
        m_trees.NewItemText(FileTrees::Tree::kBox, header, text)));
}

void MainDialog::OnBoxTreeKillFocus(NMHDR*, LRESULT*) {
    ApplyArrows(m_flow.Arrows().BoxTreeKillFocus(GetFocus() == m_btnDownload.GetSafeHwnd()));
}

void MainDialog::OnLocalTreeClick(NMHDR*, LRESULT*) {
    CString text;
    ApplyArrows(
        m_flow.Arrows().LocalTreeClick(m_trees.SelectedText(FileTrees::Tree::kLocal, text)));
}

void MainDialog::OnLocalTreeSelChanged(NMHDR* header, LRESULT*) {
    UpdateData(TRUE);
    CString text;
    const char* item = m_trees.NewItemText(FileTrees::Tree::kLocal, header, text);
    ApplyArrows(m_flow.Arrows().LocalTreeSelChanged(item));
    if (item != nullptr && m_flow.SelectTextFile(item)) {
        ShowSelectedFile();
    }
}

void MainDialog::OnLocalTreeKillFocus(NMHDR*, LRESULT*) {
    ApplyArrows(m_flow.Arrows().LocalTreeKillFocus(GetFocus() == m_btnUpload.GetSafeHwnd()));
}
