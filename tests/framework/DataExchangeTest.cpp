// Data exchange, validation and the modal dialog's OK and Cancel handling.
#include <gtest/gtest.h>

#include <functional>

#include "TestDialog.h"
#include "TestSupport.h"
#include "tests/support/DialogFixture.h"

namespace {

std::string TextOf(HWND hwnd) {
    char buffer[256] = {};
    ::GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

class DataExchangeTest : public DialogFixture<TestDialog> {};

// Runs `onInit` once the modal dialog is up.
class ModalProbe : public TestDialog {
public:
    std::function<void(ModalProbe&)> onInit;

protected:
    BOOL OnInitDialog() override {
        TestDialog::OnInitDialog();
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }
};

// Eats WM_APP + 5 in PreTranslateMessage; its map records whether one got through.
class FilteringEdit : public CEdit {
public:
    int filtered = 0;
    int reached = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_APP + 5) {
            ++filtered;
            return TRUE;
        }
        return FALSE;
    }
    void OnProbe() { ++reached; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FilteringEdit, CEdit)
ON_MESSAGE(WM_APP + 5, &FilteringEdit::OnProbe)
END_MESSAGE_MAP()

class OwnOkDialog : public ModalProbe {
public:
    void OnOwnOk() { EndDialog(55); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnOkDialog, ModalProbe)
ON_COMMAND(IDOK, BN_CLICKED, &OwnOkDialog::OnOwnOk)
END_MESSAGE_MAP()

}  // namespace

TEST_F(DataExchangeTest, ShowingDataFillsTheFieldsAndLimitsTheCheckedOne) {
    EXPECT_EQ(TextOf(Item(IDC_NAME)), "Alice");
    EXPECT_EQ(TextOf(Item(IDC_CODE)), "1234");
    EXPECT_EQ(TextOf(Item(IDC_NUMBER)), "42");
    EXPECT_EQ(::SendMessageA(Item(IDC_CODE), EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_GT(::SendMessageA(Item(IDC_NAME), EM_GETLIMITTEXT, 0, 0), 4);
}

TEST_F(DataExchangeTest, ReadingBackTakesTheFieldsTexts) {
    ::SetWindowTextA(Item(IDC_NAME), "Bob");
    ::SetWindowTextA(Item(IDC_CODE), "12");
    ::SetWindowTextA(Item(IDC_NUMBER), " -17 ");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_name, "Bob");
    EXPECT_EQ(dlg.m_code, "12");
    EXPECT_EQ(dlg.m_nNumber, -17);
}

TEST_F(DataExchangeTest, TooLongTextShowsTheStandardMessageAndStopsTheExchange) {
    // WM_SETTEXT is not held to the typing limit, as a text read from a file is not.
    ::SetWindowTextA(Item(IDC_CODE), "123456");
    ::SetWindowTextA(Item(IDC_NUMBER), "99");
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(answerer.Texts()[0], "Please enter no more than 4 characters.");
    EXPECT_EQ(dlg.m_code, "123456");  // read as it stood before the check failed
    EXPECT_EQ(dlg.m_nNumber, 42);     // the exchanges after the failure did not run
    EXPECT_EQ(::GetFocus(), Item(IDC_CODE));
}

TEST_F(DataExchangeTest, TextThatIsNoNumberFailsWithItsMessage) {
    ::SetWindowTextA(Item(IDC_NUMBER), "12x");
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(answerer.Texts()[0], "Please enter a whole number.");
    EXPECT_EQ(dlg.m_nNumber, 42);
}

TEST(ModalDialog, OkReadsTheDataBackAndEndsWithIdok) {
    AfxInitCommonControls();
    ModalProbe dlg;
    dlg.onInit = [](ModalProbe& d) {
        ::SetWindowTextA(d.GetDlgItem(IDC_NAME), "Carol");
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_name, "Carol");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_consume.m_hWnd, nullptr);
}

TEST(ModalDialog, OkWithInvalidDataKeepsTheDialogOpen) {
    AfxInitCommonControls();
    ModalProbe dlg;
    HWND window = nullptr;
    dlg.onInit = [&window](ModalProbe& d) {
        window = d.m_hWnd;
        ::SetWindowTextA(d.GetDlgItem(IDC_CODE), "98765");
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    // Once the message is answered, the dialog is still there to be cancelled.
    MessageBoxAnswerer answerer(
        [&window] { ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(answerer.Texts(),
              std::vector<std::string>{"Please enter no more than 4 characters."});
}

TEST(ModalDialog, EscapeCancels) {
    AfxInitCommonControls();
    ModalProbe dlg;
    dlg.onInit = [](ModalProbe& d) {
        ::PostMessageA(d.GetDlgItem(IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ModalDialog, DerivedMapReplacesTheStandardOk) {
    AfxInitCommonControls();
    OwnOkDialog dlg;
    dlg.onInit = [](ModalProbe& d) { d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
    EXPECT_EQ(dlg.DoModal(), 55);
}

TEST(ModalDialog, ModalLoopOffersMessagesToPreTranslateMessage) {
    AfxInitCommonControls();
    ModalProbe dlg;
    FilteringEdit edit;
    dlg.onInit = [&edit](ModalProbe& d) {
        edit.SubclassWindow(d.GetDlgItem(IDC_NAME));
        // Sent, the message skips the loop and reaches the map; queued, it is eaten.
        ::SendMessageA(edit.m_hWnd, WM_APP + 5, 0, 0);
        ::PostMessageA(edit.m_hWnd, WM_APP + 5, 0, 0);
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(edit.filtered, 1);
    EXPECT_EQ(edit.reached, 1);
}
