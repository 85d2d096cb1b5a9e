// ColorEdit on real edit controls: colours, loading and saving real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "TextTestResources.h"
#include "framework/Framework.h"
#include "tests/support/ControlColors.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/PixelCanvas.h"
#include "tests/support/TempDir.h"
#include "ui/text/ColorEdit.h"

namespace {

class TextDialog : public CDialog {
public:
    TextDialog() : CDialog(IDD_TEXT_TEST) {}
    ColorEdit m_panel;
    ColorEdit m_console;
    ColorEdit m_help;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_PANEL, m_panel);
        DDX_Control(dx, IDC_CONSOLE, m_console);
        DDX_Control(dx, IDC_HELP_TEXT, m_help);
    }
};

std::string Text(CWnd& wnd) {
    CString text;
    wnd.GetWindowText(text);
    return text.Str();
}

// Lines of `count` characters cycling through the letters, each ended by `end`.
std::string Lines(int lines, int width, const std::string& end) {
    std::string out;
    for (int i = 0; i < lines; ++i) {
        for (int j = 0; j < width; ++j) {
            out += static_cast<char>('a' + (i + j) % 26);
        }
        out += end;
    }
    return out;
}

COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH info{};
    ::GetObjectA(brush, sizeof(info), &info);
    return info.lbColor;
}

class ColorEditTest : public DialogFixture<TextDialog> {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        dlg.m_panel.SetBackColor(RGB(230, 230, 255));
        dlg.m_panel.SetForeColor(RGB(0, 0, 255));
        dlg.m_panel.SetLimitText(0x200000);
    }
};

}  // namespace

TEST_F(ColorEditTest, ColorRequestsGetTheOwnersColorsWhateverTheirKind) {
    ControlColors c = AskControlColors(dlg, dlg.m_panel, WM_CTLCOLOREDIT);
    EXPECT_EQ(c.brushHandle, dlg.m_panel.m_brBack.GetSafeHandle());
    EXPECT_EQ(c.brush, RGB(230, 230, 255));
    EXPECT_EQ(c.text, RGB(0, 0, 255));
    EXPECT_EQ(c.back, RGB(230, 230, 255));

    // The read-only console asks as a static control.
    dlg.m_console.SetBackColor(RGB(0, 50, 0));
    dlg.m_console.SetForeColor(RGB(255, 255, 255));
    c = AskControlColors(dlg, dlg.m_console, WM_CTLCOLORSTATIC);
    EXPECT_EQ(c.brush, RGB(0, 50, 0));
    EXPECT_EQ(c.text, RGB(255, 255, 255));
}

TEST_F(ColorEditTest, ControlPaintsItsBackgroundAndTextInTheColors) {
    dlg.m_panel.SetWindowText("WWWWWWWW\r\nWWWWWWWW");
    const PixelCanvas shown(dlg.m_panel, PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(shown.At(shown.Width() - 3, shown.Height() - 3), RGB(230, 230, 255));
    EXPECT_GT(shown.Count(CRect(0, 0, 80, 30), RGB(0, 0, 255)), 20);
}

TEST_F(ColorEditTest, NewBackColorReplacesTheOneBrushAndTheObjectDeletesIt) {
    HGDIOBJ first = dlg.m_panel.m_brBack.GetSafeHandle();
    dlg.m_panel.SetBackColor(RGB(135, 206, 235));
    HGDIOBJ second = dlg.m_panel.m_brBack.GetSafeHandle();
    EXPECT_EQ(::GetObjectType(first), 0u);
    EXPECT_EQ(BrushColor(static_cast<HBRUSH>(second)), RGB(135, 206, 235));

    HGDIOBJ owned = nullptr;
    {
        ColorEdit loose;
        loose.SetBackColor(RGB(1, 2, 3));
        owned = loose.m_brBack.GetSafeHandle();
        EXPECT_EQ(::GetObjectType(owned), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(::GetObjectType(owned), 0u);
}

TEST_F(ColorEditTest, WithoutABackColorTheDialogAnswersAsUsual) {
    EXPECT_NE(AskControlColors(dlg, dlg.m_help, WM_CTLCOLORSTATIC).brushHandle, nullptr);
    EXPECT_EQ(dlg.m_help.m_brBack.GetSafeHandle(), nullptr);
}

TEST_F(ColorEditTest, FilesAreShownWithCrLfEndsAndSavedWithTheirOwn) {
    const std::string crLf = "first line\r\n\r\n\tindented  line\r\nlast\r\n";
    // 1500 characters were once cut to 1000; 70,000 were once saved as 65,535.
    const std::string longLines = Lines(1, 1500, "\r\n") + Lines(1, 70000, "\r\n") + "end\r\n";
    // 262,143 characters: the most the buffer holds, well past the old 261,120-byte stop.
    const std::string full = Lines(2570, 100, "\r\n") + "z\r\n";
    ASSERT_EQ(full.size(), ColorEdit::kBufferSize - 1);
    // The console has no horizontal scrolling, so a long line wraps on screen.
    const std::string wrapped = Lines(1, 600, "\r\n");
    const std::string lf = "one\r\ntwo\r\n\r\nfour\r\n";
    const struct {
        const char* label;
        ColorEdit& edit;
        std::string file;
        std::string shown;  // the file is saved as it came
        int lines;          // on screen; 0: more than the file's, as it wraps
    } cases[] = {
        {"CR LF", dlg.m_panel, crLf, crLf, 5},
        {"LF", dlg.m_panel, "one\ntwo\n\nfour\n", lf, 5},
        {"LF, no end at the end", dlg.m_panel, "one\ntwo\n\nfour", lf, 5},
        {"long lines", dlg.m_panel, longLines, longLines, 4},
        {"up to the buffer", dlg.m_panel, full, full, 2572},
        {"wrapped", dlg.m_console, wrapped, wrapped, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteFile("round.txt", c.file);
        ASSERT_EQ(c.edit.LoadTextFile("round.txt"), ColorEdit::LoadResult::Loaded);
        EXPECT_EQ(Text(c.edit), c.shown);
        if (c.lines == 0) {
            EXPECT_GT(c.edit.GetLineCount(), 2);
        } else {
            EXPECT_EQ(c.edit.GetLineCount(), c.lines);
        }
        WriteFile("round.txt", "changed meanwhile");
        EXPECT_TRUE(c.edit.SaveTextFile("round.txt"));
        EXPECT_EQ(ReadFile("round.txt"), c.file);
    }
}

TEST_F(ColorEditTest, AnEditedLineOfAnLfFileChangesThatLineOnly) {
    WriteFile("lf.txt", "PORT=1000\nNAME=box\nMODE=2");
    ASSERT_EQ(dlg.m_panel.LoadTextFile("lf.txt"), ColorEdit::LoadResult::Loaded);
    const int start = dlg.m_panel.LineIndex(1);
    dlg.m_panel.SetSel(start, start + 8);
    dlg.m_panel.ReplaceSel("NAME=den");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("lf.txt"));
    EXPECT_EQ(ReadFile("lf.txt"), "PORT=1000\nNAME=den\nMODE=2");
}

TEST_F(ColorEditTest, LastLineWithoutAnEndGetsOneAndLoneCrsStay) {
    WriteFile("mixed.txt", "a\r\nb\nc\rd\ne");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("mixed.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "a\r\nb\r\nc\rd\r\ne\r\n");
    WriteFile("cr-end.txt", "x\r");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("cr-end.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "x\r\n");
}

TEST_F(ColorEditTest, TextPastTheBufferIsRefusedWholeAndNotSavedOver) {
    WriteFile("small.txt", "small\r\n");
    ASSERT_EQ(dlg.m_panel.LoadTextFile("small.txt"), ColorEdit::LoadResult::Loaded);

    // 174,763 LF lines of one character fit on disk but not once each gets CR LF.
    const std::string big = Lines(87382, 1, "\n");
    WriteFile("big.txt", big);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("big.txt"), ColorEdit::LoadResult::TooLarge);
    EXPECT_EQ(dlg.m_panel.GetWindowTextLength(), 0);
    EXPECT_EQ(dlg.m_panel.m_pBuffer[0], '\0');
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("big.txt"));
    EXPECT_EQ(ReadFile("big.txt"), big);

    // One character more than the buffer holds.
    const std::string over = Lines(2570, 100, "\r\n") + "zz\r\n";
    WriteFile("over.txt", over);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("over.txt"), ColorEdit::LoadResult::TooLarge);
    dlg.m_panel.SetWindowText("typed after the refusal\r\n");
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("over.txt"));
    EXPECT_EQ(ReadFile("over.txt"), over);

    // Another file that loads lifts the guard.
    ASSERT_EQ(dlg.m_panel.LoadTextFile("small.txt"), ColorEdit::LoadResult::Loaded);
    dlg.m_panel.SetWindowText("replacement\r\n");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("over.txt"));
    EXPECT_EQ(ReadFile("over.txt"), "replacement\r\n");
}

TEST_F(ColorEditTest, FileWithANulByteIsNotLoaded) {
    WriteFile("zero-byte.txt", std::string("abc\0def\r\n", 9));
    EXPECT_EQ(dlg.m_panel.LoadTextFile("zero-byte.txt"), ColorEdit::LoadResult::NotText);
    EXPECT_EQ(dlg.m_panel.GetWindowTextLength(), 0);
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("zero-byte.txt"));
    EXPECT_EQ(ReadFile("zero-byte.txt").size(), 9u);
}

TEST_F(ColorEditTest, MissingOrEmptyFileLeavesThePanelEmpty) {
    dlg.m_panel.SetWindowText("old text");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("no-such-file.txt"), ColorEdit::LoadResult::NotOpened);
    EXPECT_EQ(Text(dlg.m_panel), "");
    dlg.m_panel.SetWindowText("old text");
    WriteFile("empty.txt", "");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("empty.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "");
}

TEST_F(ColorEditTest, SaveNeverCreatesAFile) {
    dlg.m_panel.SetWindowText("text\r\n");
    std::remove("absent.txt");
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("absent.txt"));
    EXPECT_FALSE(Exists("absent.txt"));
}

TEST_F(ColorEditTest, SaveThatCannotWriteLeavesTheFileAsItWas) {
    // The new text cannot be put beside the file: a folder has the name it would take.
    const std::string aside = "~velqo-blocked.txt.part";
    WriteFile("blocked.txt", "kept\r\n");
    std::filesystem::create_directory(aside);
    dlg.m_panel.SetWindowText("new text\r\n");
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("blocked.txt"));
    EXPECT_EQ(ReadFile("blocked.txt"), "kept\r\n");

    std::filesystem::remove(aside);
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("blocked.txt"));
    EXPECT_EQ(ReadFile("blocked.txt"), "new text\r\n");
    EXPECT_FALSE(Exists(aside));
}

TEST_F(ColorEditTest, ClearedPanelSavesAnEmptyFile) {
    WriteFile("clear.txt", "some\r\ntext\r\n");
    ASSERT_EQ(dlg.m_panel.LoadTextFile("clear.txt"), ColorEdit::LoadResult::Loaded);
    dlg.m_panel.ClearText();
    EXPECT_EQ(Text(dlg.m_panel), "");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("clear.txt"));
    EXPECT_EQ(ReadFile("clear.txt"), "");
}

TEST_F(ColorEditTest, EditedLinesAreSavedEachWithCrLfEmptyOnesIncluded) {
    WriteFile("edit.txt", "x\r\n");
    dlg.m_panel.SetWindowText("");
    dlg.m_panel.ReplaceSel("alpha\r\n\r\nbeta\r\ngamma");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("edit.txt"));
    EXPECT_EQ(ReadFile("edit.txt"), "alpha\r\n\r\nbeta\r\ngamma\r\n");
}

TEST_F(ColorEditTest, ReadOnlyClearKeepsTheTextButLoadReplacesIt) {
    WriteFile("help1.txt", "page one\n");
    WriteFile("help2.txt", "page two\n");
    ASSERT_EQ(dlg.m_help.LoadTextFile("help1.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(dlg.m_help.m_pBuffer[0], 'p');
    dlg.m_help.ClearText();
    EXPECT_EQ(Text(dlg.m_help), "page one\r\n");
    EXPECT_EQ(dlg.m_help.m_pBuffer[0], '\0');
    ASSERT_EQ(dlg.m_help.LoadTextFile("help2.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_help), "page two\r\n");
}

TEST_F(ColorEditTest, TypingLimitDoesNotCutALoadButStillHoldsForAppends) {
    WriteFile("limit.txt", Lines(10, 10, "\r\n"));
    dlg.m_console.SetLimitText(20);
    ASSERT_EQ(dlg.m_console.LoadTextFile("limit.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(dlg.m_console.GetWindowTextLength(), 120);
    const int end = dlg.m_console.GetWindowTextLength();
    dlg.m_console.SetSel(end, end);
    dlg.m_console.ReplaceSel("more");
    EXPECT_EQ(dlg.m_console.GetWindowTextLength(), 120);
}

TEST_F(ColorEditTest, EveryByteButNulComesBack) {
    // Under the ANSI code page 1252 (the test prefix's) every byte maps to a character
    // and back, so nothing may be lost between file, window and file.
    ASSERT_EQ(::GetACP(), 1252u);
    std::string content;
    for (int c = 1; c < 256; ++c) {
        if (c != '\r' && c != '\n') {
            content += static_cast<char>(c);
        }
    }
    content += "\r\n";
    WriteFile("bytes.txt", content);
    ASSERT_EQ(dlg.m_panel.LoadTextFile("bytes.txt"), ColorEdit::LoadResult::Loaded);
    WriteFile("bytes.txt", "");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("bytes.txt"));
    EXPECT_EQ(ReadFile("bytes.txt"), content);
}
