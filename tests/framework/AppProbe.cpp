// A program built on the framework's WinMain: it writes what its application
// object went through to the file named on its command line.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "framework/Framework.h"

namespace {

constexpr UINT kHelpCommand = 0xE146;

void Note(const char* path, const std::string& line) {
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

constexpr UINT kThrowMessage = WM_APP + 1;

// Eats the WM_APP that the application posts to itself, and quits. Its handler of
// kThrowMessage fails with an exception.
class QuitWindow : public CWnd {
public:
    std::string* m_pNote = nullptr;  // not owned
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_APP) {
            *m_pNote = "pretranslated";
            ::PostQuitMessage(0);
            return TRUE;
        }
        return FALSE;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("probe failure"); }

private:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(QuitWindow, CWnd)
ON_MESSAGE(kThrowMessage, &QuitWindow::OnThrow)
END_MESSAGE_MAP()

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        // The command line is "<log file> [run|throw]".
        std::string line = m_lpCmdLine;
        const size_t space = line.find(' ');
        m_log = line.substr(0, space);
        const std::string mode = space != std::string::npos ? line.substr(space + 1) : "";
        const bool run = mode == "run" || mode == "throw";
        Note(m_log.c_str(),
             std::string("init ") + m_strAppName.GetString() +
                 (AfxGetInstanceHandle() == ::GetModuleHandleA(nullptr) ? " module" : " other"));
        if (!run) {
            return FALSE;
        }
        m_window.m_pNote = &m_seen;
        m_window.CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0);
        m_pMainWnd = &m_window;
        // A command the window does not handle goes on to the application's map.
        m_window.SendMessage(WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
        if (mode == "throw") {
            m_window.SendMessage(kThrowMessage);
            Note(m_log.c_str(), "survived");
        }
        m_window.PostMessage(WM_APP);
        return TRUE;
    }
    void OnHelpCommand() { Note(m_log.c_str(), "help"); }
    int ExitInstance() override {
        Note(m_log.c_str(), m_seen.empty() ? "exit" : "exit " + m_seen);
        return 7 + CWinApp::ExitInstance();
    }

private:
    DECLARE_MESSAGE_MAP()

    std::string m_log;
    std::string m_seen;
    QuitWindow m_window;
};

BEGIN_MESSAGE_MAP(ProbeApp, CWinApp)
ON_COMMAND(kHelpCommand, 0, &ProbeApp::OnHelpCommand)
END_MESSAGE_MAP()

ProbeApp theApp;

}  // namespace
