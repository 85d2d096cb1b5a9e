#pragma once
// The "Find boxes" dialog of the main window's system menu, modal and placed
// where it is told (below the log console): a range typed (or none: the PC's
// own networks, shown as they will be searched), Search, and a row for each
// address that answered on the box's port, with what it is and the age of
// the box's newest backup in the store. Nothing connects anywhere before
// Search; nothing logs in unless "Log in" is ticked with a password in the
// main window. OK or a double-click on a row: that address, for BOX IP.
//
// The search runs on a worker thread, its answers posted into the window's
// worker mailbox (WorkerRoom). Cancel stops it: no address is asked after
// it, those under way end within their time-out; closing waits for that.
#include <memory>
#include <string>
#include <thread>  // std::jthread
#include <vector>

#include "discovery/BoxSearch.h"
#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "ui/flow/FindBoxesFlow.h"
#include "ui/main/BoxWorkHost.h"
#include "ui/main/ReportRows.h"
#include "ui/main/WorkerClient.h"
#include "ui/main/WorkerRoom.h"

struct FindBoxesStart {
    int port = 0;
    std::string password;     // the main window's, sent only when "Log in" is ticked
    std::string storeFolder;  // the backup store, for each box's newest backup
};

class FindBoxesDialog : public CDialog, public WorkerClient {
public:
    FindBoxesDialog(CWnd* parent, POINT topLeft, BoxWorkHost& host, FindBoxesStart start);
    ~FindBoxesDialog() override;

    // The address chosen with OK or a double-click; empty when none was.
    const std::string& Chosen() const { return m_chosen; }

    // A search uses no session: nothing of it comes through the sinks, but
    // what does is shown as every worker's is.
    void WorkerLogged(const char* text, int colorCode) override;
    void WorkerPercent(int percent) override;
    void CloseWhenStopped() override;

    CListCtrl m_list;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    LRESULT OnWorkerMail(WPARAM wParam, LPARAM lParam);
    LRESULT OnMailTimer(WPARAM timer, LPARAM lParam);
    void OnRangeChanged();
    void OnLoginChanged();
    void OnSearch();
    void OnRowChanged(NMHDR* header, LRESULT* result);
    void OnRowDoubleClick(NMHDR* header, LRESULT* result);

private:
    bool Busy() const { return m_worker.joinable(); }
    // The ranges the text names, said under it; false when none.
    bool ChooseRanges();
    bool LoginTicked() const;
    // The worker has ended: its answers shown, the controls back.
    void SearchDone();
    void ShowButtons();
    // The one selected row, or -1.
    int SelectedRow() const;

    POINT m_ptTopLeft;
    BoxWorkHost& m_host;  // not owned
    FindBoxesStart m_start;
    FindBoxesFlow m_flow;
    ReportRows m_rows;
    std::vector<FindRowText> m_shown;   // what m_rows shows
    std::vector<FindResult> m_results;  // the last search's, set by its worker
    WorkerRoom m_room;
    std::unique_ptr<BoxSearch> m_search;  // the search under way or the last one
    bool m_bLogin = false;                // the search under way, or the last one, logs in
    bool m_bCloseWhenDone = false;        // closing waits for the worker
    std::string m_chosen;
    std::jthread m_worker;  // last: joined once it reports its end, or before the rest goes
};
