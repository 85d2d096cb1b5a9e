#include "ui/flow/UpdateFlow.h"

#include <algorithm>
#include <cctype>

#include "base/TextEscape.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "update/UpdateWords.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUnderWay = "under way";
constexpr int kStepCount = static_cast<int>(UpdateStep::kBackUpAgain) + 1;

int NumberOf(UpdateStep step) {
    return static_cast<int>(step) + 1;
}

std::string Capitalized(std::string text) {
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

const StepOutcome* StepOf(const UpdateOutcome& outcome, UpdateStep step) {
    for (const StepOutcome& s : outcome.steps) {
        if (s.step == step) {
            return &s;
        }
    }
    return nullptr;
}

}  // namespace

UpdateFlow::UpdateFlow(BoxSession& session, fs::path store, const std::string& host,
                       std::string password)
    : m_session(session),
      m_store(std::move(store)),
      m_box(BackupBox::Of(host, box_defaults::kPort)),
      m_password(std::move(password)) {}

bool UpdateFlow::ListBox() {
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    m_listed.clear();
    if (m_session.ListFiles(records, &count) == 0) {
        m_strStatus = "No update: the box's list of files could not be read; nothing was sent.";
        return false;
    }
    m_listed.assign(records, records + count);
    return true;
}

std::vector<std::string> UpdateFlow::Groups() const {
    std::vector<std::string> groups;
    for (const wire::ListRecord& r : m_listed) {
        const std::string group = r.group;
        if (!group.empty() && std::find(groups.begin(), groups.end(), group) == groups.end()) {
            groups.push_back(group);
        }
    }
    return groups;
}

std::string UpdateFlow::Confirmation(const fs::path& firmware,
                                     const std::vector<std::string>& keepGroups) {
    std::string kept;
    for (const std::string& g : keepGroups) {
        kept += (kept.empty() ? "" : ", ") + QuoteForMessage(g);
    }
    return "A backup of the box is made first; then " +
           QuoteForMessage(firmware.filename().string()) +
           " is sent and the box restarts, which may take some minutes. Once it is back, it is "
           "compared with the backup" +
           (kept.empty() ? ", and nothing is put back"
                         : ", the changed files of " + kept + " are put back") +
           ", and a second backup is made.\n\nFrom " + firmware.string() +
           ".\n\nUpdate the box's firmware now?";
}

void UpdateFlow::WorkStarting() {
    m_bStop = false;
    m_bBetweenSteps = true;
}

void UpdateFlow::Run(const fs::path& firmware, std::vector<std::string> keepGroups, int waitSeconds,
                     int retryMs) {
    m_rows.clear();
    m_outcome = {};
    UpdateRequest request;
    request.firmware = firmware;
    request.keepGroups = std::move(keepGroups);
    request.waitSeconds = waitSeconds;
    request.retryMs = retryMs;
    // The box comes back where the session reached it, on the port it used.
    const BoxSocket& socket = *m_session.Socket();
    const BoxLink link{socket.Host(), socket.Port(), m_password};
    m_session.Log("\n");
    const FirmwareUpdate update(request, m_store, m_box, link, m_store);
    m_outcome = update.Run(m_session, m_listed, *this);
    m_bBetweenSteps = true;
    AddChangeRows();
    m_strStatus = Summary();
    m_session.Log(("PC > " + m_strStatus + "\n").c_str());
    Line(m_strStatus);
}

void UpdateFlow::StepStarting(UpdateStep step) {
    m_bBetweenSteps = false;
    m_strTitle = WordsOf(step).title;
    m_rows.push_back({"step " + std::to_string(NumberOf(step)), m_strTitle, kUnderWay});
    Show(m_rows.size() - 1);
    Line("Step " + std::to_string(NumberOf(step)) + " of " + std::to_string(kStepCount) + ": " +
         m_strTitle + "...");
}

void UpdateFlow::StepDone(const StepOutcome& outcome) {
    const std::string title = WordsOf(outcome.step).title;
    const UpdateRow done{"step " + std::to_string(NumberOf(outcome.step)), title,
                         OutcomeText(outcome, m_store), IsFailure(outcome.result)};
    // A step stopped before it ran, or one that needs no run, comes without a start.
    if (m_rows.empty() || m_rows.back().title != title || m_rows.back().state != kUnderWay) {
        m_rows.push_back(done);
    } else {
        m_rows.back() = done;
    }
    Show(m_rows.size() - 1);
    m_session.Log(("PC > " + title + ": " + done.state + "\n").c_str());
    m_bBetweenSteps = true;
}

void UpdateFlow::Waiting(int seconds, int bound) {
    // Between two tries nothing is under way: a stop ends the wait.
    m_bBetweenSteps = true;
    Line(Capitalized(WaitingText(seconds, bound)));
}

void UpdateFlow::FileStarting(int index, int count, const std::string& name) {
    Line(Capitalized(m_strTitle) + ": file " + std::to_string(index) + " of " +
         std::to_string(count) + ": " + name);
}

void UpdateFlow::FileDone(const FileReport&) {}

void UpdateFlow::AddChangeRows() {
    for (const FileReport& change : m_outcome.changes) {
        std::string state = change.result == FileResult::kOnlyOnBox      ? "new on the box"
                            : change.result == FileResult::kMissingOnBox ? "gone from the box"
                                                                         : "changed by the update";
        for (const FileReport& back : m_outcome.putBack) {
            if (back.name == change.name) {
                state += std::string("; put back: ") + ShownWord(back);
            }
        }
        m_rows.push_back(
            {change.group.empty() ? "-" : change.group, change.name, state, IsFailure(change)});
        Show(m_rows.size() - 1);
    }
}

void UpdateFlow::Show(size_t row) {
    if (m_pProgress != nullptr) {
        m_pProgress->UpdateRowChanged(static_cast<int>(row), m_rows[row]);
    }
}

void UpdateFlow::Line(const std::string& line) {
    if (m_pProgress != nullptr) {
        m_pProgress->UpdateLineChanged(line);
    }
}

std::string UpdateFlow::Shown(const fs::path& folder) const {
    return (m_store / folder.filename()).string();
}

std::string UpdateFlow::Summary() const {
    const StepOutcome* failure = m_outcome.Failure();
    if (failure != nullptr) {
        const std::string text = OutcomeText(*failure, m_store);
        if (failure->result == StepResult::kStopped) {
            return "Update " + text + ".";
        }
        return "Update failed at the step " + std::string(WordsOf(failure->step).title) + ": " +
               text + ".";
    }
    std::string status = "Firmware updated: ";
    if (const StepOutcome* compared = StepOf(m_outcome, UpdateStep::kCompare)) {
        status += OutcomeText(*compared, m_store);
    }
    if (const StepOutcome* putBack = StepOf(m_outcome, UpdateStep::kPutBack)) {
        status += "; " + OutcomeText(*putBack, m_store);
    }
    status += ". Backups: before in " + Shown(m_outcome.backupBefore);
    status += m_outcome.backupAfter.empty() ? ", none after."
                                            : ", after in " + Shown(m_outcome.backupAfter) + ".";
    return status;
}
