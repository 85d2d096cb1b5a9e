#include "ui/main/ReportRows.h"

void ReportRows::Show(int row, const std::vector<std::string>& cells) {
    while (Count() <= row) {
        m_list.InsertItem(Count(), "");
        m_shown.emplace_back(1);  // the item's own text, empty
    }
    std::vector<std::string>& shown = m_shown[static_cast<size_t>(row)];
    if (shown.size() < cells.size()) {
        // Sub-items never set show nothing, as an empty text would.
        shown.resize(cells.size());
    }
    for (size_t column = 0; column < cells.size(); ++column) {
        if (shown[column] != cells[column]) {
            m_list.SetItemText(row, static_cast<int>(column), cells[column].c_str());
            shown[column] = cells[column];
        }
    }
}

void ReportRows::Keep(int count) {
    while (Count() > count) {
        m_list.DeleteItem(Count() - 1);
        m_shown.pop_back();
    }
}

void ReportRows::SetUpColumns(CListCtrl& list, std::span<const ReportColumn> columns) {
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    RECT client;
    list.GetClientRect(&client);
    for (size_t i = 0; i < columns.size(); ++i) {
        const ReportColumn& c = columns[i];
        list.InsertColumn(static_cast<int>(i), c.heading, c.format,
                          (client.right - client.left) * c.percent / 100);
    }
}

void ReportRows::ReshapeColumns(CListCtrl& list, std::span<const ReportColumn> columns) {
    RECT client;
    list.GetClientRect(&client);
    for (size_t i = 0; i < columns.size(); ++i) {
        const ReportColumn& c = columns[i];
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(c.heading);
        column.fmt = c.format;
        column.cx = (client.right - client.left) * c.percent / 100;
        list.SendMessage(LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}
