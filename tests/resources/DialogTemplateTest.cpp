// The dialog templates, read back byte for byte from the linked resources:
// every field that the window code and the users rely on.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "MainWindowLayout.h"
#include "base/Version.h"
#include "resource.h"

namespace {

const HMODULE kModule = GetModuleHandleW(nullptr);
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

void ExpectItem(const DialogItem& got, const ExpectedControl& want, std::size_t index) {
    SCOPED_TRACE("control #" + std::to_string(index + 1) + " id " + std::to_string(want.id));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(_wcsicmp(got.className.c_str(), want.className), 0) << "class";
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.textOrdinal, -1);
    EXPECT_EQ(got.style, kChild | want.style) << std::hex << got.style;
    EXPECT_EQ(got.exStyle, want.exStyle);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
}

}  // namespace

TEST(DialogTemplateTest, MainWindowHeader) {
    auto dlg = LoadDialogTemplate(kModule, IDD_MAIN);
    ASSERT_TRUE(dlg.has_value());
    EXPECT_TRUE(dlg->extended);
    EXPECT_EQ(dlg->style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                             DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dlg->exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(dlg->x, 0);
    EXPECT_EQ(dlg->y, 0);
    EXPECT_EQ(dlg->cx, 410);
    EXPECT_EQ(dlg->cy, 472);
    EXPECT_EQ(dlg->title, L"VELQO_LAN_MM");
    EXPECT_EQ(dlg->pointSize, 8);
    EXPECT_EQ(dlg->weight, 0);
    EXPECT_EQ(dlg->italic, 0);
    EXPECT_EQ(dlg->charset, DEFAULT_CHARSET);
    EXPECT_EQ(dlg->faceName, L"MS Sans Serif");
}

TEST(DialogTemplateTest, MainWindowControlsInTabOrder) {
    auto dlg = LoadDialogTemplate(kModule, IDD_MAIN);
    ASSERT_TRUE(dlg.has_value());
    const auto& want = MainWindowControls();
    ASSERT_EQ(dlg->items.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        ExpectItem(dlg->items[i], want[i], i);
    }
}

TEST(DialogTemplateTest, AboutBox) {
    auto dlg = LoadDialogTemplate(kModule, IDD_ABOUTBOX);
    ASSERT_TRUE(dlg.has_value());
    EXPECT_EQ(dlg->style,
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dlg->cx, 240);
    EXPECT_EQ(dlg->cy, 78);
    EXPECT_EQ(dlg->title, L"About VELQO_LAN_MM");
    EXPECT_EQ(dlg->pointSize, 8);
    EXPECT_EQ(dlg->faceName, L"MS Sans Serif");
    ASSERT_EQ(dlg->items.size(), 4u);

    const DialogItem& version = dlg->items[0];
    EXPECT_EQ(version.id, IDC_STATIC);
    EXPECT_EQ(_wcsicmp(version.className.c_str(), L"Static"), 0);
    EXPECT_EQ(version.text, L"VELQO_LAN_MM Version " VELQO_VERSION_TEXT);
    EXPECT_EQ(version.style, kChild | WS_GROUP | SS_NOPREFIX);
    EXPECT_EQ(version.x, 61);
    EXPECT_EQ(version.y, 15);
    EXPECT_EQ(version.cx, 119);
    EXPECT_EQ(version.cy, 8);

    const DialogItem& notice = dlg->items[1];
    EXPECT_EQ(notice.id, IDC_STATIC);
    EXPECT_FALSE(notice.text.empty());
    EXPECT_EQ(notice.style, kChild | WS_GROUP);
    EXPECT_EQ(notice.x, 60);
    EXPECT_EQ(notice.y, 33);

    const DialogItem& ok = dlg->items[2];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(_wcsicmp(ok.className.c_str(), L"Button"), 0);
    EXPECT_EQ(ok.text, L"OK");
    EXPECT_EQ(ok.style, kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON);
    EXPECT_EQ(ok.x, 183);
    EXPECT_EQ(ok.y, 7);
    EXPECT_EQ(ok.cx, 50);
    EXPECT_EQ(ok.cy, 14);

    const DialogItem& icon = dlg->items[3];
    EXPECT_EQ(icon.id, IDC_STATIC);
    EXPECT_EQ(_wcsicmp(icon.className.c_str(), L"Static"), 0);
    EXPECT_EQ(icon.textOrdinal, IDR_MAINFRAME);
    EXPECT_EQ(icon.style, kChild | SS_ICON);
    EXPECT_EQ(icon.x, 16);
    EXPECT_EQ(icon.y, 16);
    EXPECT_EQ(icon.cx, 20);
    EXPECT_EQ(icon.cy, 20);
}

TEST(DialogTemplateTest, FormatHelp) {
    auto dlg = LoadDialogTemplate(kModule, IDD_FORMAT_HELP);
    ASSERT_TRUE(dlg.has_value());
    EXPECT_EQ(dlg->style,
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dlg->cx, 357);
    EXPECT_EQ(dlg->cy, 157);
    EXPECT_EQ(dlg->title, L"Format help");
    EXPECT_EQ(dlg->pointSize, 8);
    EXPECT_EQ(dlg->faceName, L"MS Sans Serif");
    ASSERT_EQ(dlg->items.size(), 1u);
    const DialogItem& edit = dlg->items[0];
    EXPECT_EQ(edit.id, IDC_HELP_TEXT);
    EXPECT_EQ(_wcsicmp(edit.className.c_str(), L"Edit"), 0);
    EXPECT_EQ(edit.style,
              kChild | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY);
    EXPECT_EQ(edit.x, 0);
    EXPECT_EQ(edit.y, 1);
    EXPECT_EQ(edit.cx, 356);
    EXPECT_EQ(edit.cy, 155);
}

TEST(DialogTemplateTest, BackupsDialogSharesNoIdWithTheMainWindow) {
    const auto backups = LoadDialogTemplate(kModule, IDD_BACKUPS);
    const auto main = LoadDialogTemplate(kModule, IDD_MAIN);
    ASSERT_TRUE(backups.has_value());
    ASSERT_TRUE(main.has_value());
    EXPECT_EQ(backups->title, L"Backups");
    ASSERT_EQ(backups->items.size(), 11u);
    EXPECT_EQ(backups->items[0].text, L"Backups in backup\\ of the working folder:");
    for (const DialogItem& mine : backups->items) {
        for (const DialogItem& theirs : main->items) {
            EXPECT_NE(mine.id, theirs.id) << "id " << mine.id;
        }
    }
}

TEST(DialogTemplateTest, DiffWindowPaintsItsLinesItself) {
    const auto diff = LoadDialogTemplate(kModule, IDD_FILE_DIFF);
    ASSERT_TRUE(diff.has_value());
    EXPECT_EQ(diff->title, L"Diff");
    ASSERT_EQ(diff->items.size(), 2u);
    const DialogItem& lines = diff->items[0];
    EXPECT_EQ(lines.id, IDC_DIFF_LINES);
    EXPECT_EQ(_wcsicmp(lines.className.c_str(), L"ListBox"), 0);
    // Drawn by its owner in colour, its strings kept for reading, never selected.
    const DWORD drawn = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOSEL;
    EXPECT_EQ(lines.style & drawn, drawn);
    EXPECT_EQ(diff->items[1].id, IDCANCEL);
}

TEST(DialogTemplateTest, ParserRejectsTruncatedTemplate) {
    HRSRC info = FindResourceW(kModule, MAKEINTRESOURCEW(IDD_MAIN), MAKEINTRESOURCEW(5));
    ASSERT_NE(info, nullptr);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(kModule, info)));
    DWORD size = SizeofResource(kModule, info);
    EXPECT_TRUE(ParseDialogTemplate(bytes, size).has_value());
    EXPECT_FALSE(ParseDialogTemplate(bytes, size - 40).has_value());
}
