#pragma once
// The dialog of the framework tests (template IDD_TEST) with controls bound to
// objects that record what reaches them.
#include <string>
#include <vector>

#include "TestResources.h"
#include "framework/Framework.h"

constexpr UINT kCustomNotify = 0x8123;  // a WM_NOTIFY code of the tests' own

using EventLog = std::vector<std::string>;

// Takes BN_CLICKED itself: the parent never hears of it.
class ConsumingButton : public CButton {
public:
    EventLog* m_pLog = nullptr;  // not owned
    void OnClicked() { m_pLog->push_back("consume:child"); }
    DECLARE_MESSAGE_MAP()
};

// Sees BN_CLICKED first and passes it on to the parent.
class PassingButton : public CButton {
public:
    EventLog* m_pLog = nullptr;  // not owned
    BOOL OnClicked() {
        m_pLog->push_back("pass:child");
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

// Paints itself red.
class RedButton : public CButton {
public:
    int m_nDraws = 0;
    void DrawItem(DRAWITEMSTRUCT* item) override;
};

// Answers its own control-colour requests: red text on blue.
class BlueEdit : public CEdit {
public:
    BlueEdit() : m_brush(RGB(0, 0, 255)) {}
    HBRUSH CtlColor(CDC* dc, UINT kind);
    CBrush m_brush;
    UINT m_nLastKind = 0xFFFF;
    int m_nRequests = 0;
    DECLARE_MESSAGE_MAP()
};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST) {}

    CString m_name = "Alice";
    CString m_code = "1234";
    int m_nNumber = 42;
    ConsumingButton m_consume;
    PassingButton m_pass;
    RedButton m_red;
    CBitmapButton m_bitmap;
    BlueEdit m_colored;
    CEdit m_readOnly;
    EventLog m_log;

    void OnConsume() { m_log.push_back("consume:parent"); }
    void OnPass() { m_log.push_back("pass:parent"); }
    void OnPlain() { m_log.push_back("plain:parent"); }
    void OnFileCommand(UINT id) { m_log.push_back("file:" + std::to_string(id)); }
    LRESULT OnAppMessage(WPARAM wParam, LPARAM lParam) {
        return static_cast<LRESULT>(wParam) + lParam;
    }
    void OnCustomNotify(NMHDR* header, LRESULT* result) {
        m_log.push_back("notify:" + std::to_string(header->idFrom));
        *result = 77;
    }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
