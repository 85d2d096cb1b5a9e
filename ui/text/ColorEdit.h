#pragma once
// A multi-line edit control that paints its text and background in colours its
// owner chooses, loads a text file into itself (every line shown ending in CR LF)
// and writes its text back over an existing file with the line ends it had. It has no window of its
// own: the owner binds it to an edit control of a dialog template with DDX_Control, and the
// control-colour request of that control comes back to it through reflection.
#include <memory>
#include <string>

#include "base/LineEnds.h"
#include "framework/CBrush.h"
#include "framework/CEdit.h"

class ColorEdit : public CEdit {
public:
    // Size of the text buffer; the text the control can load is one character less.
    static constexpr size_t kBufferSize = 0x40000;

    enum class LoadResult {
        Loaded,     // the whole file is shown
        NotOpened,  // the file could not be opened
        TooLarge,   // its text does not fit the buffer: nothing of it is shown
        NotText,    // it holds bytes the control cannot show as they are (NUL, for one)
    };

    ColorEdit();
    ~ColorEdit() override;

    // Stores the colour, rebuilds the background brush and repaints the control.
    void SetBackColor(COLORREF color);
    // Stores the text colour (for all of the text) and repaints the control.
    void SetForeColor(COLORREF color);
    COLORREF GetForeColor() const { return m_crText; }
    // The reflected control-colour request: our colours and brush. Before the first
    // SetBackColor there is no brush and the parent's usual answer stands.
    HBRUSH CtlColor(CDC* dc, UINT kind);

    // Deletes the text (a read-only control keeps it) and zeroes the text buffer.
    void ClearText();
    // Replaces the text by the file's: each line is shown ending in CR LF (LF and CR
    // LF ends alike; a last line without an end gets one). Every byte of every line is
    // kept. A file that cannot be shown whole is not shown at all: the control stays
    // as ClearText left it, and until another file loads, SaveTextFile refuses to
    // write over this one.
    LoadResult LoadTextFile(const char* path);
    // Replaces `path`, if that file exists and may be written, by the text, its
    // lines ended as those of the file loaded last were (LineEnds; CR LF when none
    // was), an empty last line writing nothing. Never creates a file; a save that
    // fails leaves the file as it was. True when written.
    bool SaveTextFile(const char* path);

    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBack = RGB(255, 255, 255);
    CBrush m_brBack;
    std::unique_ptr<char[]> m_pBuffer;

protected:
    DECLARE_MESSAGE_MAP()

private:
    // Normalises the open file into the text buffer.
    LoadResult ReadIntoBuffer(FILE* file);

    std::string m_refusedPath;  // the file whose load was refused last, if any
    LineEnds m_lineEnds;        // of the file loaded last
};
