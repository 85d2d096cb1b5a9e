#include "ui/main/FindBoxesDialog.h"

#include <ctime>

#include "discovery/LocalInterfaces.h"
#include "framework/CDataExchange.h"
#include "resources/resource.h"

namespace {

constexpr ReportColumn kColumns[] = {{"Address", LVCFMT_LEFT, 14},
                                     {"Answer", LVCFMT_LEFT, 24},
                                     {"Files", LVCFMT_LEFT, 28},
                                     {"Newest backup", LVCFMT_LEFT, 33}};

std::string TextOf(HWND control) {
    char text[512] = {};
    ::GetWindowTextA(control, text, sizeof text);
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(FindBoxesDialog, CDialog)
ON_COMMAND(IDC_FIND_SEARCH, BN_CLICKED, &FindBoxesDialog::OnSearch)
ON_COMMAND(IDC_FIND_RANGE, EN_CHANGE, &FindBoxesDialog::OnRangeChanged)
ON_COMMAND(IDC_FIND_LOGIN, BN_CLICKED, &FindBoxesDialog::OnLoginChanged)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_FIND_LIST, &FindBoxesDialog::OnRowChanged)
ON_NOTIFY(NM_DBLCLK, IDC_FIND_LIST, &FindBoxesDialog::OnRowDoubleClick)
ON_MESSAGE(WM_CLOSE, &FindBoxesDialog::OnClose)
ON_MESSAGE(WM_DESTROY, &FindBoxesDialog::OnDestroy)
ON_MESSAGE(WorkerRoom::kMail, &FindBoxesDialog::OnWorkerMail)
ON_MESSAGE(WM_TIMER, &FindBoxesDialog::OnMailTimer)
END_MESSAGE_MAP()

FindBoxesDialog::FindBoxesDialog(CWnd* parent, POINT topLeft, BoxWorkHost& host,
                                 FindBoxesStart start)
    : CDialog(IDD_FIND_BOXES, parent),
      m_ptTopLeft(topLeft),
      m_host(host),
      m_start(std::move(start)),
      m_flow(static_cast<uint16_t>(m_start.port), m_start.password),
      m_rows(m_list),
      m_room(host) {}

FindBoxesDialog::~FindBoxesDialog() {
    // Normally ended when the window went; a worker must never outlive the dialog.
    if (m_worker.joinable()) {
        m_search->Stop();
        m_worker.join();
    }
}

void FindBoxesDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FIND_LIST, m_list);
}

BOOL FindBoxesDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_room.Attach(m_hWnd);
    ::SetWindowPos(m_hWnd, nullptr, m_ptTopLeft.x, m_ptTopLeft.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ReportRows::SetUpColumns(m_list, kColumns);
    ChooseRanges();
    OnLoginChanged();
    SetDlgItemText(IDC_FIND_PROGRESS, "Nothing is asked before Search.");
    ShowButtons();
    ::SetFocus(GetDlgItem(IDC_FIND_RANGE));
    return FALSE;
}

bool FindBoxesDialog::ChooseRanges() {
    // The interfaces are only listed: nothing is sent anywhere.
    const std::string text = TextOf(GetDlgItem(IDC_FIND_RANGE));
    const bool any = m_flow.ChooseRanges(
        text, text.empty() ? ListLocalInterfaces() : std::vector<LocalInterface>{});
    SetDlgItemText(IDC_FIND_RANGES, m_flow.RangesLine().c_str());
    return any;
}

bool FindBoxesDialog::LoginTicked() const {
    return ::SendMessageA(GetDlgItem(IDC_FIND_LOGIN), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FindBoxesDialog::OnRangeChanged() {
    ChooseRanges();
}

void FindBoxesDialog::OnLoginChanged() {
    SetDlgItemText(IDC_FIND_LOGIN_LINE, m_flow.LoginLine(LoginTicked()).c_str());
}

void FindBoxesDialog::ShowButtons() {
    const bool busy = Busy();
    ::EnableWindow(GetDlgItem(IDC_FIND_SEARCH), busy ? FALSE : TRUE);
    ::EnableWindow(GetDlgItem(IDC_FIND_RANGE), busy ? FALSE : TRUE);
    ::EnableWindow(GetDlgItem(IDC_FIND_LOGIN), !busy && m_flow.CanLogIn() ? TRUE : FALSE);
    ::EnableWindow(GetDlgItem(IDOK), !busy && SelectedRow() >= 0 ? TRUE : FALSE);
    SetDlgItemText(IDCANCEL, busy ? "Cancel" : "Close");
}

void FindBoxesDialog::OnSearch() {
    if (Busy() || !ChooseRanges()) {
        return;
    }
    const bool login = LoginTicked() && m_flow.CanLogIn();
    m_bLogin = login;
    m_search = std::make_unique<BoxSearch>(m_flow.Settings(login));
    m_search->SetProgress([this](size_t done, size_t total, size_t answered) {
        m_room.Mailbox().Post(WorkerEvent::Call([this, done, total, answered] {
            SetDlgItemText(IDC_FIND_PROGRESS,
                           FindBoxesFlow::ProgressLine(done, total, answered, false).c_str());
        }));
    });
    m_shown.clear();
    m_rows.Keep(0);
    SetDlgItemText(IDC_FIND_PROGRESS,
                   FindBoxesFlow::ProgressLine(0, m_flow.Addresses().size(), 0, false).c_str());
    m_host.BoxWorkLogged(
        "PC > Find boxes: " + m_flow.RangesLine() + " " + m_flow.LoginLine(login) + "\n", 0);
    m_host.ShowBoxWork();
    m_room.Starting();
    const std::vector<uint32_t> addresses = m_flow.Addresses();
    m_worker = std::jthread([this, addresses] {
        std::vector<FindResult> results = m_search->Run(addresses);
        m_room.Mailbox().Post(WorkerEvent::Call(
            [this, found = std::move(results)]() mutable { m_results = std::move(found); }));
        m_room.Ended();
    });
    ShowButtons();
}

void FindBoxesDialog::SearchDone() {
    if (m_worker.joinable()) {
        m_worker.join();  // it has posted its end: it returns at once
    }
    const BackupStore store(m_start.storeFolder);
    m_shown = m_flow.Rows(m_results, store, std::time(nullptr));
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        const FindRowText& r = m_shown[static_cast<size_t>(row)];
        m_rows.Show(row, {r.address, r.answer, r.detail, r.backup});
    }
    m_rows.Keep(static_cast<int>(m_shown.size()));
    size_t tried = 0;
    size_t answered = 0;
    for (const FindResult& r : m_results) {
        tried += r.detail == BoxSearch::kNotTried ? 0 : 1;
        answered += r.Answered() ? 1 : 0;
    }
    SetDlgItemText(IDC_FIND_PROGRESS, FindBoxesFlow::ProgressLine(tried, m_results.size(), answered,
                                                                  m_search->Stopped())
                                          .c_str());
    m_host.BoxWorkLogged(m_flow.SummaryLine(m_results, m_bLogin), 0);
    m_host.ShowBoxWork();
    ShowButtons();
    if (m_bCloseWhenDone) {
        EndDialog(IDCANCEL);
    }
}

int FindBoxesDialog::SelectedRow() const {
    if (m_list.SendMessage(LVM_GETSELECTEDCOUNT) != 1) {
        return -1;
    }
    const int row = static_cast<int>(
        m_list.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row >= 0 && row < static_cast<int>(m_shown.size()) ? row : -1;
}

void FindBoxesDialog::OnRowChanged(NMHDR* header, LRESULT*) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) != 0) {
        ShowButtons();
    }
}

void FindBoxesDialog::OnRowDoubleClick(NMHDR*, LRESULT*) {
    OnOK();
}

void FindBoxesDialog::OnOK() {
    const int row = SelectedRow();
    if (Busy() || row < 0) {
        return;
    }
    m_chosen = m_shown[static_cast<size_t>(row)].address;
    m_host.BoxWorkLogged("PC > Find boxes: " + m_chosen + " put into BOX IP.\n", 0);
    m_host.ShowBoxWork();
    EndDialog(IDOK);
}

void FindBoxesDialog::OnCancel() {
    if (!Busy()) {
        CDialog::OnCancel();
        return;
    }
    m_search->Stop();
    SetDlgItemText(IDC_FIND_PROGRESS, "Stopping: the addresses under way end within their wait...");
}

void FindBoxesDialog::CloseWhenStopped() {
    m_bCloseWhenDone = true;
    OnCancel();
}

LRESULT FindBoxesDialog::OnClose(WPARAM, LPARAM) {
    CloseWhenStopped();
    return 0;
}

void FindBoxesDialog::OnDestroy() {
    if (m_worker.joinable()) {
        m_bCloseWhenDone = false;  // going already
        m_search->Stop();
        m_worker.join();
        m_room.ShowNow();
    }
    Default();
}

void FindBoxesDialog::WorkerLogged(const char* text, int colorCode) {
    m_room.Log(text, colorCode);
}

void FindBoxesDialog::WorkerPercent(int percent) {
    m_room.Percent(percent);
}

LRESULT FindBoxesDialog::OnWorkerMail(WPARAM, LPARAM) {
    if (m_room.OnMail()) {
        SearchDone();
    }
    return 0;
}

LRESULT FindBoxesDialog::OnMailTimer(WPARAM timer, LPARAM) {
    if (timer != WorkerRoom::kTimer) {
        return Default();
    }
    if (m_room.OnTimer()) {
        SearchDone();
    }
    return 0;
}
