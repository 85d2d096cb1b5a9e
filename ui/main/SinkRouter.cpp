#include "ui/main/SinkRouter.h"

int SinkRouter::Log(const char* text, int colorCode) {
    if (text == nullptr) {
        return 0;
    }
    if (!OnWindowThread()) {
        // Set before the dialog's worker starts, cleared after it has ended.
        if (m_pWorker != nullptr) {
            m_pWorker->WorkerLogged(text, colorCode);
        }
        return 0;
    }
    if (m_log.GetSafeHwnd() != nullptr) {
        m_console.Append(text, colorCode);
    }
    return 0;
}

int SinkRouter::Progress(int percent) {
    if (!OnWindowThread()) {
        if (m_pWorker != nullptr) {
            m_pWorker->WorkerPercent(percent);
        }
        return 0;
    }
    return m_console.SetProgress(percent);
}

bool SinkRouter::RunModal(CDialog& dialog, WorkerClient& client) {
    m_pWorker = &client;
    dialog.DoModal();
    m_pWorker = nullptr;
    const bool close = m_bCloseAfter;
    m_bCloseAfter = false;
    return close;
}

bool SinkRouter::CloseNow() {
    if (m_pWorker == nullptr) {
        return true;
    }
    m_bCloseAfter = true;
    m_pWorker->CloseWhenStopped();
    return false;
}
