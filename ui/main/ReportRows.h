#pragma once
// The rows of a report-style list view as text, kept beside the control so
// that showing rows again changes only the cells that differ: under Wine every
// change of a cell is a repaint's worth of work, and a list shown again after
// an operation is mostly what it was.
#include <span>
#include <string>
#include <vector>

#include "framework/CListCtrl.h"

struct ReportColumn {
    const char* heading;
    int format;   // LVCFMT_LEFT, LVCFMT_RIGHT
    int percent;  // of the list's width
};

class ReportRows {
public:
    // Full-row selection and `columns`, sized to the list's width.
    static void SetUpColumns(CListCtrl& list, std::span<const ReportColumn> columns);
    // The columns set up so far shown as `columns` say (as many of them),
    // for rows of another kind; the rows stay.
    static void ReshapeColumns(CListCtrl& list, std::span<const ReportColumn> columns);

    explicit ReportRows(CListCtrl& list) : m_list(list) {}
    ReportRows(const ReportRows&) = delete;
    ReportRows& operator=(const ReportRows&) = delete;

    // Row `row` shows `cells` (one a column); rows missing before it are added.
    void Show(int row, const std::vector<std::string>& cells);
    // Keeps the first `count` rows and deletes the others.
    void Keep(int count);
    int Count() const { return static_cast<int>(m_shown.size()); }

private:
    CListCtrl& m_list;                              // not owned
    std::vector<std::vector<std::string>> m_shown;  // what each row shows
};
