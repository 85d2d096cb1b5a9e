#include "ui/main/MainDialog.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "box/BoxSession.h"
#include "box/NetworkIdentity.h"
#include "catalog/FileCatalog.h"
#include "framework/CBitmap.h"
#include "framework/CDataExchange.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "framework/CWindowDC.h"
#include "resources/resource.h"
#include "ui/main/AboutDialog.h"
#include "ui/main/GdiplusGraphics.h"
#include "ui/main/GdiplusImage.h"
#include "ui/main/LinkState.h"
#include "ui/main/LogColour.h"

MainDialog* g_pMainDialog = nullptr;

namespace {

constexpr int kLogLimit = 0x100000;
constexpr int kTextLimit = 0x200000;
constexpr COLORREF kLogBack = RGB(0, 50, 0);
constexpr COLORREF kLogText = RGB(255, 255, 255);
constexpr COLORREF kPanelBack = RGB(230, 230, 255);
constexpr COLORREF kPanelText = RGB(0, 0, 255);
constexpr const char* kLoopback = "127.0.0.1";

// An edit control breaks lines only at CR LF: each lone LF of a log text
// becomes CR LF, so that every line shows on a line of its own.
std::string WithEditLineEnds(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n' && (p == text || p[-1] != '\r')) {
            out += '\r';
        }
        out += *p;
    }
    return out;
}

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
ON_WM_CTLCOLOR(&CWnd::OnCtlColor)
END_MESSAGE_MAP()

MainDialog::MainDialog(CWnd* parent)
    : CDialog(IDD_MAIN, parent),
      m_strBoxIp("192.168.1.108"),
      m_nPort(1000),
      m_strPassword("7351"),
      m_hIcon(AfxGetApp() != nullptr
                  ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                  : ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_pCatalog(std::make_unique<FileCatalog>()),
      m_szSelFile{},
      m_nLinkState(link_state::kNoNetwork) {
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusInput, nullptr);
}

MainDialog::~MainDialog() {
    // Normally done when the window goes; also when it was never created.
    if (m_gdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
    }
    if (g_pMainDialog == this) {
        g_pMainDialog = nullptr;
    }
}

void MainDialog::AttachSession(BoxSession* pSession) {
    m_pSession = pSession;
    m_pSocket = pSession->Socket();
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
    DDV_MaxChars(dx, m_strPassword, 4);
}

BOOL MainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutMenuItem();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    BuildTreeImageList();

    SetButtonIcon(m_btnUpload, IDI_UPLOAD);
    SetButtonIcon(m_btnDownload, IDI_DOWNLOAD);
    m_btnDownload.EnableWindow(FALSE);
    m_btnUpload.EnableWindow(FALSE);
    SetButtonIcon(m_btnSave, IDI_SAVE);
    SetButtonIcon(m_btnHelp, IDI_FORMAT_HELP);
    SetButtonIcon(m_btnClear, IDI_CLEAR);
    SetButtonIcon(m_btnExit, IDI_EXIT);

    m_editLog.SetBackColor(kLogBack);
    m_editLog.SetForeColor(kLogText);
    m_editText.SetBackColor(kPanelBack);
    m_editText.SetForeColor(kPanelText);
    m_btnLogin.SetIcons(IDI_LOGIN, IDI_LOGIN);
    m_editLog.SendMessage(EM_LIMITTEXT, kLogLimit);

    AppendLog((ProgramFileName() + " - the LAN manager of your set-top box - www.velqo.example\n")
                  .c_str(),
              0);
    AppendLog("Version: v1.001\n", 0);

    if (m_settings.Load()) {
        char text[33];
        m_settings.GetBoxIp(text, sizeof text);
        m_strBoxIp = text;
        m_settings.GetPassword(text, sizeof text);
        m_strPassword = text;
    }
    UpdateData(FALSE);

    int state = 0;
    std::string address;
    if (LookUpLinkState(&state, &address)) {
        m_nLinkState = state;
        if (state == link_state::kNoNetwork) {
            AppendLog("Network NOT connected , please check !\n", 0);
        } else {
            AppendLog(("Local IP is " + address + " .\n").c_str(), 0);
        }
    }

    m_editLog.SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    m_editLog.SendMessage(EM_SCROLLCARET);
    m_editLog.SetFocus();
    m_editText.SendMessage(EM_LIMITTEXT, kTextLimit);
    return FALSE;
}

bool MainDialog::LookUpLinkState(int* state, std::string* address) {
    std::string host;
    if (GetLocalHostName(&host) != 0 || GetHostAddress(host.c_str(), address) != 0) {
        return false;
    }
    *state = *address == kLoopback ? link_state::kNoNetwork : link_state::kNetwork;
    return true;
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

void MainDialog::SetButtonIcon(CButton& button, UINT iconId) {
    // Resource icons loaded with LoadImage(LR_SHARED) belong to the system.
    const HICON icon =
        static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    button.SetIcon(icon);
}

void MainDialog::BuildTreeImageList() {
    m_pImageList = std::make_unique<CImageList>();
    m_pImageList->Create(20, 20, ILC_MASK, 3, 0);
    for (const UINT id : {IDB_TREE_GROUP, IDB_TREE_TEXT, IDB_TREE_BINARY}) {
        CBitmap bitmap;
        bitmap.LoadBitmap(id);
        m_pImageList->Add(&bitmap, RGB(255, 255, 255));
    }
    m_treeLocal.SetImageList(m_pImageList.get(), TVSIL_NORMAL);
    m_treeBox.SetImageList(m_pImageList.get(), TVSIL_NORMAL);
}

int MainDialog::AppendLog(const char* text, int colourCode) {
    MainDialog* window = g_pMainDialog;
    if (window == nullptr || window->m_editLog.GetSafeHwnd() == nullptr || text == nullptr) {
        return 0;
    }
    ColorEdit& log = window->m_editLog;
    const int n = log.GetWindowTextLength();
    log.SendMessage(EM_SETSEL, n, n);
    log.SetForeColor(LogColour(colourCode));
    const std::string lines = WithEditLineEnds(text);
    log.SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lines.c_str()));
    return 0;
}

int MainDialog::SetProgress(int percent) {
    MainDialog* window = g_pMainDialog;
    if (window == nullptr || window->m_progress.GetSafeHwnd() == nullptr) {
        return 0;
    }
    return window->m_progress.SetPos(percent);
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
    const GdiplusImage picture(link_state::PicturePath(m_nLinkState), false);
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

LRESULT MainDialog::OnSysCommand(WPARAM wParam, LPARAM) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    return Default();
}

void MainDialog::OnDestroy() {
    Default();
    if (m_pSession != nullptr) {
        m_pSession->Logout();
    }
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
}
