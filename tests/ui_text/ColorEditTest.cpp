// ColorEdit on real edit controls: colours, loading and saving real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "TextTestResources.h"
#include "framework/Framework.h"
#include "tests/support/ControlColors.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/PixelCanvas.h"
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

void WriteBytes(const char* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const char* path) {
    return std::ifstream(path).good();
}

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

TEST_F(ColorEditTest, CrLfFileComesBackByteForByte) {
    const std::string content = "first line\r\n\r\n\tindented  line\r\nlast\r\n";
    WriteBytes("crlf.txt", content);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("crlf.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), content);
    EXPECT_EQ(dlg.m_panel.GetLineCount(), 5);
    WriteBytes("crlf.txt", "changed meanwhile");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("crlf.txt"));
    EXPECT_EQ(ReadBytes("crlf.txt"), content);
}

TEST_F(ColorEditTest, LfFileIsShownAndSavedWithCrLfEnds) {
    WriteBytes("lf.txt", "one\ntwo\n\nfour\n");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("lf.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "one\r\ntwo\r\n\r\nfour\r\n");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("lf.txt"));
    EXPECT_EQ(ReadBytes("lf.txt"), "one\r\ntwo\r\n\r\nfour\r\n");
}

TEST_F(ColorEditTest, LastLineWithoutAnEndGetsOneAndLoneCrsStay) {
    WriteBytes("mixed.txt", "a\r\nb\nc\rd\ne");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("mixed.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "a\r\nb\r\nc\rd\r\ne\r\n");
    WriteBytes("cr-end.txt", "x\r");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("cr-end.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "x\r\n");
}

TEST_F(ColorEditTest, LongLinesAreKeptWholeOnLoadAndSave) {
    // 1500 characters were once cut to 1000; 70,000 were once saved as 65,535.
    const std::string content = Lines(1, 1500, "\r\n") + Lines(1, 70000, "\r\n") + "end\r\n";
    WriteBytes("long.txt", content);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("long.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(dlg.m_panel.LineLength(dlg.m_panel.LineIndex(0)), 1500);
    EXPECT_EQ(dlg.m_panel.LineLength(dlg.m_panel.LineIndex(1)), 70000);
    EXPECT_EQ(dlg.m_panel.GetLineCount(), 4);
    WriteBytes("long.txt", "");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("long.txt"));
    EXPECT_EQ(ReadBytes("long.txt"), content);
}

TEST_F(ColorEditTest, TextUpToTheBufferLoadsAndSavesWhole) {
    // 262,143 characters: the most the buffer holds, well past the old 261,120-byte stop.
    std::string content = Lines(2570, 100, "\r\n");  // 262,140 bytes
    content += "z\r\n";
    ASSERT_EQ(content.size(), ColorEdit::kBufferSize - 1);
    WriteBytes("full.txt", content);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("full.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(static_cast<size_t>(dlg.m_panel.GetWindowTextLength()), content.size());
    WriteBytes("full.txt", "x");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("full.txt"));
    EXPECT_EQ(ReadBytes("full.txt"), content);
}

TEST_F(ColorEditTest, TextPastTheBufferIsRefusedWholeAndNotSavedOver) {
    WriteBytes("small.txt", "small\r\n");
    ASSERT_EQ(dlg.m_panel.LoadTextFile("small.txt"), ColorEdit::LoadResult::Loaded);

    // 174,763 LF lines of one character fit on disk but not once each gets CR LF.
    const std::string big = Lines(87382, 1, "\n");
    WriteBytes("big.txt", big);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("big.txt"), ColorEdit::LoadResult::TooLarge);
    EXPECT_EQ(dlg.m_panel.GetWindowTextLength(), 0);
    EXPECT_EQ(dlg.m_panel.m_pBuffer[0], '\0');
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("big.txt"));
    EXPECT_EQ(ReadBytes("big.txt"), big);

    // One character more than the buffer holds.
    const std::string over = Lines(2570, 100, "\r\n") + "zz\r\n";
    WriteBytes("over.txt", over);
    EXPECT_EQ(dlg.m_panel.LoadTextFile("over.txt"), ColorEdit::LoadResult::TooLarge);
    dlg.m_panel.SetWindowText("typed after the refusal\r\n");
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("over.txt"));
    EXPECT_EQ(ReadBytes("over.txt"), over);

    // Another file that loads lifts the guard.
    ASSERT_EQ(dlg.m_panel.LoadTextFile("small.txt"), ColorEdit::LoadResult::Loaded);
    dlg.m_panel.SetWindowText("replacement\r\n");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("over.txt"));
    EXPECT_EQ(ReadBytes("over.txt"), "replacement\r\n");
}

TEST_F(ColorEditTest, FileWithANulByteIsNotLoaded) {
    WriteBytes("zero-byte.txt", std::string("abc\0def\r\n", 9));
    EXPECT_EQ(dlg.m_panel.LoadTextFile("zero-byte.txt"), ColorEdit::LoadResult::NotText);
    EXPECT_EQ(dlg.m_panel.GetWindowTextLength(), 0);
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("zero-byte.txt"));
    EXPECT_EQ(ReadBytes("zero-byte.txt").size(), 9u);
}

TEST_F(ColorEditTest, MissingOrEmptyFileLeavesThePanelEmpty) {
    dlg.m_panel.SetWindowText("old text");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("no-such-file.txt"), ColorEdit::LoadResult::NotOpened);
    EXPECT_EQ(Text(dlg.m_panel), "");
    dlg.m_panel.SetWindowText("old text");
    WriteBytes("empty.txt", "");
    EXPECT_EQ(dlg.m_panel.LoadTextFile("empty.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_panel), "");
}

TEST_F(ColorEditTest, SaveNeverCreatesAFile) {
    dlg.m_panel.SetWindowText("text\r\n");
    std::remove("absent.txt");
    EXPECT_FALSE(dlg.m_panel.SaveTextFile("absent.txt"));
    EXPECT_FALSE(Exists("absent.txt"));
}

TEST_F(ColorEditTest, ClearedPanelSavesAnEmptyFile) {
    WriteBytes("clear.txt", "some\r\ntext\r\n");
    ASSERT_EQ(dlg.m_panel.LoadTextFile("clear.txt"), ColorEdit::LoadResult::Loaded);
    dlg.m_panel.ClearText();
    EXPECT_EQ(Text(dlg.m_panel), "");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("clear.txt"));
    EXPECT_EQ(ReadBytes("clear.txt"), "");
}

TEST_F(ColorEditTest, EditedLinesAreSavedEachWithCrLfEmptyOnesIncluded) {
    WriteBytes("edit.txt", "x\r\n");
    dlg.m_panel.SetWindowText("");
    dlg.m_panel.ReplaceSel("alpha\r\n\r\nbeta\r\ngamma");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("edit.txt"));
    EXPECT_EQ(ReadBytes("edit.txt"), "alpha\r\n\r\nbeta\r\ngamma\r\n");
}

TEST_F(ColorEditTest, WrappedLineIsSavedAsOneLine) {
    // The console has no horizontal scrolling, so a long line wraps on screen.
    const std::string line = Lines(1, 600, "\r\n");
    WriteBytes("wrap.txt", line);
    ASSERT_EQ(dlg.m_console.LoadTextFile("wrap.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_GT(dlg.m_console.GetLineCount(), 2);
    WriteBytes("wrap.txt", "");
    EXPECT_TRUE(dlg.m_console.SaveTextFile("wrap.txt"));
    EXPECT_EQ(ReadBytes("wrap.txt"), line);
}

TEST_F(ColorEditTest, ReadOnlyClearKeepsTheTextButLoadReplacesIt) {
    WriteBytes("help1.txt", "page one\n");
    WriteBytes("help2.txt", "page two\n");
    ASSERT_EQ(dlg.m_help.LoadTextFile("help1.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(dlg.m_help.m_pBuffer[0], 'p');
    dlg.m_help.ClearText();
    EXPECT_EQ(Text(dlg.m_help), "page one\r\n");
    EXPECT_EQ(dlg.m_help.m_pBuffer[0], '\0');
    ASSERT_EQ(dlg.m_help.LoadTextFile("help2.txt"), ColorEdit::LoadResult::Loaded);
    EXPECT_EQ(Text(dlg.m_help), "page two\r\n");
}

TEST_F(ColorEditTest, TypingLimitDoesNotCutALoadButStillHoldsForAppends) {
    WriteBytes("limit.txt", Lines(10, 10, "\r\n"));
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
    WriteBytes("bytes.txt", content);
    ASSERT_EQ(dlg.m_panel.LoadTextFile("bytes.txt"), ColorEdit::LoadResult::Loaded);
    WriteBytes("bytes.txt", "");
    EXPECT_TRUE(dlg.m_panel.SaveTextFile("bytes.txt"));
    EXPECT_EQ(ReadBytes("bytes.txt"), content);
}
