#include "ui/main/WorkerRoom.h"

WorkerRoom::WorkerRoom(BoxWorkHost& host)
    : m_host(host), m_mailbox([this] { ::PostMessageA(m_hWnd, kMail, 0, 0); }) {}

void WorkerRoom::Log(const char* text, int colorCode) {
    m_mailbox.Post(WorkerEvent::Log(text, colorCode));
}

bool WorkerRoom::Percent(int percent) {
    if (percent == m_nPercent) {
        return false;
    }
    m_nPercent = percent;
    m_mailbox.Post(WorkerEvent::Bar(percent));
    return true;
}

void WorkerRoom::Ended() {
    m_mailbox.Post(WorkerEvent::Done());
}

bool WorkerRoom::OnMail() {
    // Shown at the pace of the eye, since every change is a repaint under
    // Wine: what comes within a paint's interval waits for its timer.
    if (!m_mailbox.EndWaiting() && !m_pacer.Due(::GetTickCount())) {
        ::SetTimer(m_hWnd, kTimer, PaintPacer::kIntervalMs, nullptr);
        return false;
    }
    return OnTimer();
}

bool WorkerRoom::OnTimer() {
    m_pacer.Due(::GetTickCount(), true);
    return ShowNow();
}

bool WorkerRoom::ShowNow() {
    ::KillTimer(m_hWnd, kTimer);
    bool done = false;
    for (WorkerEvent& e : m_mailbox.Take()) {
        switch (e.kind) {
            case WorkerEvent::Kind::kLog:
                m_host.BoxWorkLogged(e.text, e.number);
                break;
            case WorkerEvent::Kind::kBar:
                m_host.BoxWorkProgress(e.number);
                break;
            case WorkerEvent::Kind::kCall:
                e.call();
                break;
            case WorkerEvent::Kind::kDone:
                done = true;
                break;
        }
    }
    m_host.ShowBoxWork();
    return done;
}
