#include "cli/CliDiff.h"

#include <ctime>

#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "base/TextEscape.h"
#include "base/TextLines.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "history/BackupDiff.h"
#include "history/BackupRef.h"
#include "history/BoxSide.h"
#include "history/DiffWords.h"
#include "history/FolderSide.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// A diff for a terminal: each line's control characters escaped (a CR
// shows as \r), as list escapes names; the document keeps the text as it is.
// A line's first character is the diff's own mark (' ', '-', '+', '@', or
// the '\' of the no-newline note), shown as it is.
std::string Shown(std::string_view unified) {
    std::string out;
    for (size_t at = 0; at < unified.size();) {
        const std::string_view line = LineAt(unified, at);
        at += line.size();
        const std::string_view text = WithoutLineEnd(line);
        if (!text.empty()) {
            out += text.front();
            out += EscapeControls(text.substr(1));
        }
        out += "\n";
    }
    return out;
}

}  // namespace

CliDiff::CliDiff(const CliContext& context)
    : context_(context), options_(context.options), output_(context.output) {}

bool CliDiff::IsBox(const std::string& side) {
    return side == kBox;
}

std::unique_ptr<DiffSide> CliDiff::LoadBackup(const std::string& side, int* exit) {
    *exit = CliClient::kExitFailed;
    fs::path folder = fs::path(side);
    int back = 0;
    std::string why;
    const bool latest = BackupRef::ParseLatest(side, &back);
    StoreLock& reading = &side == &options_.backupFolder ? readingOlder_ : readingNewer_;
    if (!BackupStore::LockForReading(
            latest ? context_.Store().Root() : BackupStore::StoreOf(context_.directory / folder),
            &reading, &why)) {
        output_.Error(CliClient::kExitFailed, "%s", why.c_str());
        return nullptr;
    }
    if (latest) {
        StoredBackup found;
        if (!BackupRef::Find(context_.Store(), context_.box, back, &found, &why)) {
            output_.Error(CliClient::kExitFailed, "%s", why.c_str());
            return nullptr;
        }
        folder = found.folder;
        output_.Detail("%s is %s", side.c_str(), folder.string().c_str());
        if (const std::string warning = BackupRef::FutureWarning(found, std::time(nullptr));
            !warning.empty()) {
            output_.Note("%s", warning.c_str());
        }
    } else if (const int status = context_.CheckBackupFolder(side, {BackupRef::kLatest, kBox});
               status != CliClient::kExitOk) {
        *exit = status;
        return nullptr;
    }
    auto loaded = std::make_unique<FolderSide>(side);
    if (!loaded->Load(context_.directory / folder, &why)) {
        output_.Error(CliClient::kExitFailed, "the backup %s cannot be used: %s",
                      QuoteForMessage(side).c_str(), why.c_str());
        return nullptr;
    }
    return loaded;
}

int CliDiff::Check() {
    const std::pair<const std::string*, std::unique_ptr<DiffSide>*> sides[] = {
        {&options_.backupFolder, &older_}, {&options_.newerSide, &newer_}};
    for (const auto& [side, loaded] : sides) {
        if (!IsBox(*side)) {
            int exit = CliClient::kExitOk;
            *loaded = LoadBackup(*side, &exit);
            if (*loaded == nullptr) {
                return exit;
            }
        }
    }
    return CliClient::kExitOk;
}

int CliDiff::Run(const CliBoxLink* box) {
    std::unique_ptr<DiffSide> live;
    if (box != nullptr) {
        live = std::make_unique<BoxSide>(box->session, box->listed);
    }
    DiffSide& older = older_ != nullptr ? *older_ : *live;
    DiffSide& newer = newer_ != nullptr ? *newer_ : *live;
    const std::vector<FileDifference> files = BackupDiff::Run(older, newer, options_.namesOnly);
    Json entries = Json::array();
    bool failed = false;
    for (const FileDifference& f : files) {
        const std::string name = EscapeControls(f.name);
        // What a terminal shows of the file, and what a document carries as `shown`
        // for fronts that show the same words (escaped as on a terminal).
        std::string shown = std::string(FileDiff::StateWord(f.state)) + " " + name + "\n";
        Json entry = CliOutput::NamedEntry(f.name);
        entry["result"] = FileDiff::StateWord(f.state);
        entry["old_size"] = CliOutput::SizeOrNull(f.oldSize);
        entry["new_size"] = CliOutput::SizeOrNull(f.newSize);
        if (f.state == DiffState::kFailed) {
            failed = true;
            output_.Line("%s", shown.c_str());
            output_.Note("%s: %s", name.c_str(), f.problem.c_str());
            entry["message"] = f.problem;
            shown += "  " + EscapeControls(f.problem) + "\n";
        } else {
            if (f.state == DiffState::kChanged && f.text && !f.tooDifferent &&
                !options_.namesOnly) {
                shown += Shown(f.unified);
                entry["diff"] = f.unified;
            } else if (f.state == DiffState::kChanged && (!f.text || f.tooDifferent)) {
                if (!options_.namesOnly) {
                    shown += "  " + DiffWords::NoLines(f) + "\n";
                }
                entry["first_difference"] = CliOutput::SizeOrNull(f.firstDifference);
                if (f.tooDifferent) {
                    entry["too_different"] = true;
                }
            }
            output_.Line("%s", shown.c_str());
        }
        entry["shown"] = shown;
        entries.push_back(entry);
    }
    const bool same = BackupDiff::AllSame(files);
    output_.Value("files", entries);
    output_.Flag("same", same);
    return same && !failed ? CliClient::kExitOk : CliClient::kExitFailed;
}
