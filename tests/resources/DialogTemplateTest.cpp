// The dialog templates, read back byte for byte from the linked resources:
// every field that the window code and the users rely on.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
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
    EXPECT_EQ(got.textOrdinal, want.textOrdinal);
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

TEST(DialogTemplateTest, SmallDialogsHeaderAndControls) {
    constexpr DWORD kBox = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    const struct {
        int id;
        short cx, cy;
        const wchar_t* title;
        std::vector<ExpectedControl> controls;
    } dialogs[] = {
        {IDD_ABOUTBOX,
         240,
         78,
         L"About VELQO_LAN_MM",
         {{IDC_STATIC, L"Static", L"VELQO_LAN_MM Version " VELQO_VERSION_TEXT, 61, 15, 119, 8,
           WS_GROUP | SS_NOPREFIX, 0},
          {IDC_STATIC, L"Static", L"(C) VELQO. All rights reserved.", 60, 33, 119, 8, WS_GROUP, 0},
          {IDOK, L"Button", L"OK", 183, 7, 50, 14, WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
          {IDC_STATIC, L"Static", L"", 16, 16, 20, 20, SS_ICON, 0, IDR_MAINFRAME}}},
        {IDD_FORMAT_HELP,
         357,
         157,
         L"Format help",
         {{IDC_HELP_TEXT, L"Edit", L"", 0, 1, 356, 155,
           WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY, 0}}},
    };
    for (const auto& want : dialogs) {
        SCOPED_TRACE(std::to_string(want.id));
        const auto dlg = LoadDialogTemplate(kModule, want.id);
        ASSERT_TRUE(dlg.has_value());
        EXPECT_EQ(dlg->style, kBox);
        EXPECT_EQ(dlg->cx, want.cx);
        EXPECT_EQ(dlg->cy, want.cy);
        EXPECT_EQ(dlg->title, want.title);
        EXPECT_EQ(dlg->pointSize, 8);
        EXPECT_EQ(dlg->faceName, L"MS Sans Serif");
        ASSERT_EQ(dlg->items.size(), want.controls.size());
        for (std::size_t i = 0; i < want.controls.size(); ++i) {
            ExpectItem(dlg->items[i], want.controls[i], i);
        }
    }
}

TEST(DialogTemplateTest, BackupsDialogSharesNoIdWithTheMainWindow) {
    const auto backups = LoadDialogTemplate(kModule, IDD_BACKUPS);
    const auto main = LoadDialogTemplate(kModule, IDD_MAIN);
    ASSERT_TRUE(backups.has_value());
    ASSERT_TRUE(main.has_value());
    EXPECT_EQ(backups->title, L"Backups");
    ASSERT_EQ(backups->items.size(), 12u);
    EXPECT_EQ(backups->items[0].text, L"Backups in backup\\ of the working folder:");
    EXPECT_EQ(backups->items[3].id, IDC_BACKUP_UPDATE);
    EXPECT_EQ(backups->items[3].text, L"&Update firmware...");
    for (const DialogItem& mine : backups->items) {
        for (const DialogItem& theirs : main->items) {
            EXPECT_NE(mine.id, theirs.id) << "id " << mine.id;
        }
    }
}

TEST(DialogTemplateTest, UpdateFirmwareChoicesAreAFileAndTickBoxes) {
    const auto update = LoadDialogTemplate(kModule, IDD_UPDATE_FIRMWARE);
    ASSERT_TRUE(update.has_value());
    EXPECT_EQ(update->title, L"Update firmware");
    std::vector<int> ids;
    for (const DialogItem& item : update->items) {
        ids.push_back(item.id);
        if (item.id == IDC_UPDATE_GROUPS) {
            EXPECT_EQ(_wcsicmp(item.className.c_str(), L"SysListView32"), 0);
            EXPECT_EQ(item.style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
        }
    }
    for (int id : {IDC_UPDATE_FILE, IDC_UPDATE_BROWSE, IDC_UPDATE_GROUPS, IDOK, IDCANCEL}) {
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
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
