#include "update/BoxReturn.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "update/UpdateReport.h"

namespace {

using Clock = std::chrono::steady_clock;

int MsBetween(Clock::time_point from, Clock::time_point to) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
}

}  // namespace

BoxReturn::BoxReturn(BoxLink link, int boundSeconds, int retryMs)
    : link_(std::move(link)), boundSeconds_(boundSeconds), retryMs_(std::max(1, retryMs)) {}

StepOutcome BoxReturn::Wait(BoxSession& session, std::vector<wire::ListRecord>* listed,
                            UpdateReport& report) const {
    BoxSocket& socket = *session.Socket();
    StepOutcome outcome{UpdateStep::kWaitForBox, StepResult::kNeverBack};
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::seconds(boundSeconds_);
    std::string lastProblem = "nothing answered";
    // The first attempt only after one pause: a box that has just said it
    // restarts may still answer on its way down.
    for (Clock::time_point next = start + std::chrono::milliseconds(retryMs_);;
         next += std::chrono::milliseconds(retryMs_)) {
        const int waited = MsBetween(start, std::min(next, end)) / 1000;
        report.Waiting(waited, boundSeconds_);
        while (Clock::now() < std::min(next, end)) {
            if (report.StopRequested()) {
                outcome.result = StepResult::kStopped;
                return outcome;
            }
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::clamp(MsBetween(Clock::now(), next), 1, 100)));
        }
        const int left = MsBetween(Clock::now(), end);
        if (left <= 0) {
            break;
        }
        session.Logout();
        socket.Close();
        // The socket waits in whole seconds.
        if (!socket.Connect(link_.host.c_str(), link_.port,
                            std::max(1000, std::min(left, retryMs_)))) {
            lastProblem = "the last try: " + socket.ConnectError();
            continue;
        }
        const int login = session.Login(link_.password.c_str());
        if (login == BoxSession::kLoginNoReply) {
            lastProblem = "the last try: connected, but the login was not answered";
            socket.Close();
            continue;
        }
        outcome.seconds = MsBetween(start, Clock::now()) / 1000;
        if (login != BoxSession::kLoginOk) {
            socket.Close();
            if (session.LoginNeedsVersion() != 0) {
                outcome.result = StepResult::kNeedsNewerTool;
                outcome.why = wire::VersionText(session.LoginNeedsVersion());
            } else {
                outcome.result = StepResult::kPasswordRefused;
                outcome.why = session.LoginRefusal();
            }
            return outcome;
        }
        wire::ListRecord records[wire::kMaxListRecords];
        int count = 0;
        if (session.ListFiles(records, &count) != 1) {
            outcome.result = StepResult::kNoList;
            return outcome;
        }
        listed->assign(records, records + count);
        outcome.result = StepResult::kBack;
        return outcome;
    }
    outcome.seconds = boundSeconds_;
    outcome.why = lastProblem;
    return outcome;
}
