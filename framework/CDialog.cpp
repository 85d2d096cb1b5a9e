#include "framework/CDialog.h"

#include "framework/CDataExchange.h"
#include "framework/CWinApp.h"
#include "framework/UnexpectedFailure.h"

namespace {

// While modal dialogs run, their message loop (inside DialogBoxParam) offers each
// message to this filter, which gives the windows' objects PreTranslateMessage.
HHOOK g_filterHook = nullptr;
int g_filterUsers = 0;

LRESULT CALLBACK ModalMessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == MSGF_DIALOGBOX && CWnd::WalkPreTranslateTree(reinterpret_cast<MSG*>(lParam))) {
            return 1;
        }
    } catch (...) {
        fw::EndOnUnexpectedException("a modal dialog's message filter");
    }
    return ::CallNextHookEx(g_filterHook, code, wParam, lParam);
}

class ModalFilterScope {
public:
    ModalFilterScope() {
        if (g_filterUsers++ == 0) {
            g_filterHook = ::SetWindowsHookExA(WH_MSGFILTER, &ModalMessageFilter, nullptr,
                                               ::GetCurrentThreadId());
        }
    }
    ~ModalFilterScope() {
        if (--g_filterUsers == 0 && g_filterHook != nullptr) {
            ::UnhookWindowsHookEx(g_filterHook);
            g_filterHook = nullptr;
        }
    }
    ModalFilterScope(const ModalFilterScope&) = delete;
    ModalFilterScope& operator=(const ModalFilterScope&) = delete;
};

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, BN_CLICKED, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, BN_CLICKED, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

HWND CDialog::OwnerHwnd() const {
    if (m_pParentWnd != nullptr) {
        return m_pParentWnd->m_hWnd;
    }
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) {
        return app->m_pMainWnd->m_hWnd;
    }
    return nullptr;
}

INT_PTR CALLBACK CDialog::StartDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only the creation is handled here; every later message reaches the object
    // through its subclass procedure, and this procedure leaves the rest to the
    // dialog manager's defaults.
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    try {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        if (!dialog->Bind(hwnd)) {
            return TRUE;
        }
        const MSG saved = dialog->m_current;
        dialog->m_current = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
        const BOOL focusDefault = dialog->OnInitDialog();
        dialog->m_current = saved;
        return focusDefault;
    } catch (...) {
        fw::EndOnUnexpectedException("a dialog's start-up");
    }
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr) {
        return -1;
    }
    ModalFilterScope filter;
    m_bModal = true;
    m_nModalResult =
        ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), OwnerHwnd(),
                          &StartDialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return m_nModalResult;
}

BOOL CDialog::Create(CWnd* parent) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    if (parent != nullptr) {
        m_pParentWnd = parent;
    }
    m_bModal = false;
    HWND hwnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                     OwnerHwnd(), &StartDialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) {
        return FALSE;
    }
    m_bOwnsWindow = true;
    return TRUE;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (m_bModal) {
        ::EndDialog(m_hWnd, result);
    } else {
        DestroyWindow();
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.m_bFailed ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    return !m_bModal && ::IsDialogMessageA(m_hWnd, msg);
}
