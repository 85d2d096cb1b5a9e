#include "ui/flow/BackupsFlow.h"

#include <algorithm>
#include <cctype>

#include "backup/BackupFolder.h"
#include "backup/BackupStore.h"
#include "backup/BackupWords.h"
#include "backup/BoxBackup.h"
#include "backup/BoxCompare.h"
#include "backup/BoxRestore.h"
#include "backup/CompareWords.h"
#include "backup/ReadBackVerifier.h"
#include "backup/RestoreWords.h"
#include "backup/Sha256.h"
#include "base/RegularFile.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/PlainFileName.h"
#include "catalog/FileCatalog.h"
#include "history/BoxSide.h"
#include "history/DiffWords.h"
#include "history/FileDiff.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFullPercent = 100;

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) {
        text += (text.empty() ? "" : ", ") + n;
    }
    return text;
}

std::string Count(int n, const char* what) {
    return std::to_string(n) + " " + what;
}

// The words every front uses, as a sentence of the status line.
std::string Sentence(std::string text) {
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text + ".";
}

}  // namespace

BackupsFlow::BackupsFlow(BoxSession& session, fs::path root, const std::string& host,
                         std::string password)
    : m_session(session),
      m_root(std::move(root)),
      m_box(BackupBox::Of(host, box_defaults::kPort)),
      m_password(std::move(password)) {}

void BackupsFlow::ReadShelf() {
    m_backups = BackupShelf::List(m_root, m_box);
    m_strStatus = m_backups.empty() ? "No backups of this box yet: Back up now makes one" : "";
    Select(-1);
}

std::string BackupsFlow::Heading() const {
    return "Backups of the box at " + m_box.host + ", in " + BackupShelf::kFolder +
           "\\ of the working folder:";
}

void BackupsFlow::Select(int row) {
    m_nSelected = row >= 0 && row < static_cast<int>(m_backups.size()) ? row : -1;
    m_files.clear();
    m_kept = {};
    m_bSelectedIndexed = m_bPreviousIndexed = false;
    if (m_nSelected < 0) {
        return;
    }
    std::string why;
    m_bSelectedIndexed = m_selectedIndex.Load(SelectedFolder(), &why);
    // As history counts changes: since the complete backup before it.
    m_nPrevious = m_nSelected + 1;
    while (m_nPrevious < static_cast<int>(m_backups.size()) &&
           !m_backups[static_cast<size_t>(m_nPrevious)].state.Complete()) {
        ++m_nPrevious;
    }
    m_bPreviousIndexed =
        m_nPrevious < static_cast<int>(m_backups.size()) &&
        m_previousIndex.Load(m_root / m_backups[static_cast<size_t>(m_nPrevious)].folder, &why);
    for (const BackupFileRow& f : BackupShelf::Files(SelectedFolder())) {
        m_files.push_back({f.group, f.name, f.sizeText, ""});
    }
}

fs::path BackupsFlow::SelectedFolder() const {
    return m_root / m_backups[static_cast<size_t>(m_nSelected)].folder;
}

fs::path BackupsFlow::ShownSelected() const {
    return fs::path(BackupShelf::kFolder) / m_backups[static_cast<size_t>(m_nSelected)].folder;
}

bool BackupsFlow::LinkUsable() const {
    return m_session.State() == BoxSession::kLoggedIn && !m_session.LinkLost();
}

BackupsButtons BackupsFlow::Buttons(bool busy) const {
    if (busy) {
        return {false, false, false, true, false};
    }
    const bool link = LinkUsable();
    // A backup whose manifest cannot be read has no files to compare or send.
    const bool readable =
        m_nSelected >= 0 && m_backups[static_cast<size_t>(m_nSelected)].state.fileCount >= 0;
    return {link, link && readable, link && readable, true, link};
}

void BackupsFlow::WorkStarting() {
    m_bStop = false;
    m_bBrokenOff = false;
    m_bBreakOffLogged = false;
}

void BackupsFlow::RequestStop() {
    m_bStop = true;
}

void BackupsFlow::BreakOff() {
    m_bStop = true;
    m_bBrokenOff = true;
    m_session.Socket()->Interrupt();
}

void BackupsFlow::Begin() {
    m_reports.clear();
    m_nFileIndex = 0;
    m_nFileCount = 0;
    m_nShownPercent = 0;
    if (m_pProgress != nullptr) {
        m_pProgress->OverallChanged(0);
    }
}

bool BackupsFlow::ListBox() {
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (m_session.ListFiles(records, &count) == 0) {
        return false;
    }
    m_listed.assign(records, records + count);
    return true;
}

bool BackupsFlow::HoldForReading() {
    std::string why;
    if (BackupStore::LockForReading(m_root, &m_reading, &why)) {
        return true;
    }
    Finish("The backup cannot be read now: " + why + ".", false);
    return false;
}

void BackupsFlow::Finish(const std::string& status, bool ranToEnd) {
    m_phase = Phase::kIdle;
    m_reading.Release();
    if (m_bBrokenOff && !LinkUsable()) {
        m_strStatus = status + " The transfer of " + m_strCurrent +
                      " was broken off by closing the link: log in again.";
    } else {
        m_strStatus =
            LinkUsable() ? status : status + " The link to the box is lost: log in again.";
    }
    if (m_pProgress != nullptr) {
        m_pProgress->OverallChanged(ranToEnd && !m_bStop && LinkUsable() ? kFullPercent : 0);
    }
    m_session.Log(("PC > " + m_strStatus + "\n").c_str());
}

void BackupsFlow::FileStarting(int index, int count, const std::string& name) {
    m_nFileIndex = index;
    m_nFileCount = count;
    m_strCurrent = name;
    if (m_pProgress != nullptr) {
        m_pProgress->FileStarting(index, count, name);
    }
    TransferPercent(0);
}

void BackupsFlow::TransferPercent(int percent) {
    if (m_phase == Phase::kIdle || m_pProgress == nullptr) {
        return;
    }
    const int done = m_nFileIndex > 0 ? m_nFileIndex - 1 : 0;
    const int count = std::max(m_nFileCount, 1);
    // A restore reads each file back after sending it: the bar never goes back.
    const int overall = std::clamp((done * kFullPercent + percent) / count, 0, kFullPercent);
    if (overall > m_nShownPercent) {
        m_nShownPercent = overall;
        m_pProgress->OverallChanged(overall);
    }
}

void BackupsFlow::FileDone(const FileReport& file) {
    m_reports.push_back(file);
    // Right after the session's line on the lost link: it was the user's doing.
    if (m_bBrokenOff && !m_bBreakOffLogged && !LinkUsable()) {
        m_bBreakOffLogged = true;
        m_session.Log(("PC > Broken off on request: the link was closed during " + file.name +
                       ", not by the box.\n")
                          .c_str());
    }
    // A backup's files are shown once it is selected at the end.
    if (m_phase == Phase::kChecking && file.result == FileResult::kFailed) {
        SetState(file.name, file.group, "damaged", false);
    } else if (m_phase == Phase::kWorking) {
        SetState(file.name, file.group, ShownWord(file), file.result == FileResult::kDiffers);
    }
}

void BackupsFlow::SetState(const std::string& name, const std::string& group,
                           const std::string& state, bool differs) {
    bool found = false;
    for (size_t row = 0; row < m_files.size(); ++row) {
        if (m_files[row].name == name) {
            m_files[row].state = state;
            m_files[row].differs = differs;
            found = true;
            if (m_pProgress != nullptr) {
                m_pProgress->FileRowChanged(static_cast<int>(row), m_files[row]);
            }
        }
    }
    if (!found) {
        // A file of the box that the backup does not hold.
        m_files.push_back({group, name, "", state, differs});
        if (m_pProgress != nullptr) {
            m_pProgress->FileRowChanged(static_cast<int>(m_files.size() - 1), m_files.back());
        }
    }
}

void BackupsFlow::BackUp() {
    Begin();
    Select(-1);  // the files list fills as the files are saved
    m_session.Log("\n");
    if (!ListBox()) {
        Finish("No backup: the box's list of files could not be read.", false);
        return;
    }
    m_phase = Phase::kWorking;
    const BackupOutcome outcome = BoxBackup(m_root, m_box).Run(m_session, m_listed, *this);
    m_phase = Phase::kIdle;
    const std::string shown = (fs::path(BackupShelf::kFolder) / outcome.folder.filename()).string();
    std::vector<std::string> notSaved;
    for (const FileReport& r : m_reports) {
        if (r.result == FileResult::kFailed) {
            notSaved.push_back(r.name);
        }
    }
    std::string status = BackupWords::Problem(outcome, BackupShelf::kFolder, shown, notSaved);
    if (status.empty()) {
        status = "Backed up " + Count(static_cast<int>(outcome.saved), "file(s)") + " into " +
                 shown + ".";
    } else {
        status = (outcome.stopped ? "Stopped: " : "") + Sentence(status);
    }
    // The new backup selected, its files shown as saved.
    const std::vector<FileReport> reports = m_reports;
    m_backups = BackupShelf::List(m_root, m_box);
    Select(-1);
    for (size_t row = 0; row < m_backups.size(); ++row) {
        if (!outcome.folder.empty() && m_backups[row].folder == outcome.folder.filename()) {
            Select(static_cast<int>(row));
        }
    }
    for (FileStateRow& f : m_files) {
        for (const FileReport& r : reports) {
            if (r.name == f.name) {
                f.state = ShownWord(r);
                f.differs = r.result == FileResult::kDiffers;
            }
        }
    }
    Finish(status, outcome.status == BackupOutcome::Status::kComplete);
}

bool BackupsFlow::LoadSelected(BackupContents* contents) {
    const BackupContents::Check check = contents->Load(SelectedFolder(), this);
    if (check == BackupContents::Check::kUnusable) {
        Finish(Sentence(RestoreWords::Unusable(ShownSelected(), contents->ErrorFile(),
                                               contents->Error()) +
                        "; " + RestoreWords::kNothingSent),
               false);
        return false;
    }
    if (check == BackupContents::Check::kDamaged) {
        Finish(Sentence(RestoreWords::Damaged(ShownSelected(), contents->Failing(),
                                              RestoreWords::kNothingSent)),
               false);
        return false;
    }
    return true;
}

void BackupsFlow::Compare() {
    Begin();
    Select(m_nSelected);  // the states and the box's own files of an earlier compare go
    m_session.Log("\n");
    m_phase = Phase::kChecking;
    if (!HoldForReading()) {
        return;
    }
    BackupContents contents;
    const bool usable =
        contents.Load(SelectedFolder(), nullptr) != BackupContents::Check::kUnusable;
    if (!usable) {
        Finish(Sentence(
                   RestoreWords::Unusable(ShownSelected(), contents.ErrorFile(), contents.Error())),
               false);
        return;
    }
    if (!ListBox()) {
        Finish(Sentence(CompareWords::kNoList), false);
        return;
    }
    m_phase = Phase::kWorking;
    m_kept.limit = FileDiff::kMaxTextBytes;
    const CompareOutcome outcome =
        BoxCompare::Run(m_session, m_listed, contents, *this, {}, &m_kept);
    Finish(Sentence(CompareWords::Summary(outcome, ShownSelected().string())),
           !outcome.stopped && !outcome.linkLost && outcome.failed == 0);
}

RestoreQuestion BackupsFlow::PrepareRestore() {
    Begin();
    Select(m_nSelected);
    m_session.Log("\n");
    m_phase = Phase::kChecking;
    m_restoreContents = BackupContents();
    if (!HoldForReading() || !LoadSelected(&m_restoreContents)) {
        return {};
    }
    std::string missing;
    if (!RestorePlan::Make(m_restoreContents, {}, &m_restorePlan, &missing) || !ListBox()) {
        Finish(Sentence(RestoreWords::Why(RestoreWords::NotStarted::kNoList)), false);
        return {};
    }
    m_phase = Phase::kWorking;
    m_kept.limit = FileDiff::kMaxTextBytes;
    const CompareOutcome compared =
        BoxCompare::Run(m_session, m_listed, m_restoreContents, *this, {}, &m_kept);
    if (compared.stopped) {
        Finish(Sentence(RestoreWords::Why(RestoreWords::NotStarted::kStoppedComparing)), false);
        return {};
    }
    if (compared.linkLost) {
        Finish(Sentence(RestoreWords::Why(RestoreWords::NotStarted::kNotCompared)), false);
        return {};
    }
    for (const FileReport& r : m_reports) {
        if (r.result == FileResult::kSame) {
            m_restorePlan.MarkUnchanged(r.name);
        }
    }
    // What the box does not list cannot be sent; it is left as it is.
    std::vector<std::string> toSend;
    for (const PlannedFile& p : m_restorePlan.Files()) {
        bool listed = false;
        for (const wire::ListRecord& r : m_listed) {
            listed = listed || p.name == r.name;
        }
        if (listed && !p.unchanged) {
            toSend.push_back(p.name);
        }
    }
    m_phase = Phase::kIdle;
    if (toSend.empty()) {
        Finish(Sentence(RestoreWords::NothingToSend(compared)), true);
        return {};
    }
    RestoreQuestion question;
    question.ask = true;
    question.count = static_cast<int>(toSend.size());
    question.text = Count(question.count, "file(s)") +
                    " of the backup differ from the box's and will be sent: " + Joined(toSend) +
                    ".\n\nEach is read back from the box and checked. Send them now?";
    return question;
}

void BackupsFlow::Restore() {
    Begin();
    ReadBackVerifier verifier(m_root);
    m_phase = Phase::kWorking;
    const RestoreOutcome outcome = BoxRestore::Run(m_session, m_listed, m_restoreContents,
                                                   m_restorePlan, {false, &verifier}, *this);
    RestoreWords::Facts facts;
    facts.shownBackup = ShownSelected().string();
    facts.planned = static_cast<int>(m_restorePlan.Files().size());
    facts.verifying = true;
    facts.changedOnly = true;  // compared before it was asked for
    for (const PlannedFile& p : m_restorePlan.Files()) {
        bool reported = false;
        for (const FileReport& r : m_reports) {
            reported = reported || r.name == p.name;
            if (r.name == p.name && IsFailure(r)) {
                facts.failed.push_back(r.name);
            }
        }
        if (!reported) {
            facts.notSent.push_back(p.name);
        }
    }
    const std::vector<std::string>& failed = facts.failed;
    Finish(Sentence(RestoreWords::Summary(outcome, facts)) +
               // A broken-off upload may have left part of the file on the box.
               (m_bBrokenOff && !failed.empty() && failed.back() == m_strCurrent
                    ? " The box may hold only part of " + m_strCurrent + ": restore it again."
                    : ""),
           !outcome.stopped && !m_bStop && failed.empty() && facts.notSent.empty());
}

void BackupsFlow::CancelRestore() {
    Finish(Sentence(RestoreWords::Why(RestoreWords::NotStarted::kCancelled)), false);
}

DiffSource BackupsFlow::DiffSourceOf(int row) const {
    if (row < 0 || row >= static_cast<int>(m_files.size()) || !m_bSelectedIndexed) {
        return DiffSource::kNone;
    }
    const FileStateRow& file = m_files[static_cast<size_t>(row)];
    const ManifestEntry* entry = m_selectedIndex.Files().Find(file.name);
    DiffRowFacts facts;
    facts.inBackup = entry != nullptr;
    facts.textType = entry != nullptr && entry->type == FileCatalog::kTextType;
    facts.comparedDiffers = file.differs;
    facts.boxCopyKept = m_kept.bytes.contains(file.name);
    facts.previousHolds = m_bPreviousIndexed && m_previousIndex.Files().Find(file.name) != nullptr;
    const std::string sum = m_selectedIndex.ChecksumOf(file.name);
    facts.changedSincePrevious =
        facts.previousHolds && (sum.empty() || sum != m_previousIndex.ChecksumOf(file.name));
    return DiffViewRules::SourceFor(facts);
}

bool BackupsFlow::ReadBackupFile(int backup, const BackupIndex& index, const std::string& name,
                                 std::string* bytes, std::string* why) const {
    const std::string& folder = m_backups[static_cast<size_t>(backup)].folder;
    FileKind kind = FileKind::kMissing;
    if (!IsPlainFileName(name.c_str()) ||
        !ReadRegularFile(m_root / folder / name, LinkRule::kRefuse, FileDiff::kMaxTextBytes, bytes,
                         &kind)) {
        *why = folder + "/" + name + ": " +
               (kind == FileKind::kRegular ? "too large to show as text" : FileKindText(kind));
        return false;
    }
    Sha256 sha;
    Sha256::Digest digest;
    if (!sha.Update(bytes->data(), bytes->size()) || !sha.Finish(&digest) ||
        Sha256::Hex(digest) != index.ChecksumOf(name)) {
        *why = folder + "/" + name + " fails the backup's checksum";
        return false;
    }
    return true;
}

ShownDiff BackupsFlow::DiffOf(int row) const {
    const DiffSource source = DiffSourceOf(row);
    ShownDiff diff;
    if (source == DiffSource::kNone) {
        diff.why = "No diff: not a changed text file.";
        return diff;
    }
    const std::string& name = m_files[static_cast<size_t>(row)].name;
    const std::string& selected = m_backups[static_cast<size_t>(m_nSelected)].folder;
    std::string oldBytes;
    std::string newBytes;
    std::string oldLabel;
    std::string newLabel = selected;
    if (source == DiffSource::kBoxCopy) {
        if (!ReadBackupFile(m_nSelected, m_selectedIndex, name, &oldBytes, &diff.why)) {
            return diff;
        }
        oldLabel = selected;
        newLabel = BoxSide::kLabel;
        newBytes = m_kept.bytes.at(name);
        diff.title = name + ": backup " + selected + " beside the box";
    } else {
        oldLabel = m_backups[static_cast<size_t>(m_nPrevious)].folder;
        if (!ReadBackupFile(m_nPrevious, m_previousIndex, name, &oldBytes, &diff.why) ||
            !ReadBackupFile(m_nSelected, m_selectedIndex, name, &newBytes, &diff.why)) {
            return diff;
        }
        diff.title = name + ": backup " + oldLabel + " beside " + selected;
    }
    const FileDifference d = FileDiff::Compare(name, true, std::string_view(oldBytes),
                                               std::string_view(newBytes), oldLabel, newLabel);
    if (const std::string why = DiffWords::NoLines(d); !why.empty()) {
        diff.why = "No diff of " + name + ": " + why + ".";
        return diff;
    }
    diff.shown = true;
    diff.unified = d.unified;
    return diff;
}
