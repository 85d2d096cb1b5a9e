#include "cli/CliDiff.h"

#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "base/TextEscape.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "history/BackupDiff.h"
#include "history/BackupRef.h"
#include "history/BoxSide.h"
#include "history/FolderSide.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// A diff for a terminal: each line's control characters escaped (a CR
// shows as \r), as list escapes names; the document keeps the text as it is.
std::string Shown(const std::string& unified) {
    std::string out;
    size_t start = 0;
    while (start < unified.size()) {
        const size_t end = unified.find('\n', start);
        const size_t stop = end == std::string::npos ? unified.size() : end;
        out += EscapeControls(std::string_view(unified).substr(start, stop - start)) + "\n";
        start = stop + 1;
    }
    return out;
}

Json SizeOrNull(int64_t size) {
    return size < 0 ? Json(nullptr) : Json(size);
}

}  // namespace

CliDiff::CliDiff(const CliContext& context)
    : context_(context), options_(context.options), output_(context.output) {}

bool CliDiff::IsBox(const std::string& side) {
    return side == kBox;
}

std::unique_ptr<DiffSide> CliDiff::LoadBackup(const std::string& side, int* exit) const {
    *exit = CliClient::kExitFailed;
    fs::path folder = fs::path(side);
    int back = 0;
    std::string why;
    if (BackupRef::ParseLatest(side, &back)) {
        StoredBackup found;
        if (!BackupRef::Find(context_.Store(), context_.box, back, &found, &why)) {
            output_.Error(CliClient::kExitFailed, "%s", why.c_str());
            return nullptr;
        }
        folder = found.folder;
        output_.Detail("%s is %s", side.c_str(), folder.string().c_str());
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
        output_.Line("%s %s\n", FileDiff::StateWord(f.state), name.c_str());
        Json entry = CliOutput::NamedEntry(f.name);
        entry["result"] = FileDiff::StateWord(f.state);
        entry["old_size"] = SizeOrNull(f.oldSize);
        entry["new_size"] = SizeOrNull(f.newSize);
        if (f.state == DiffState::kFailed) {
            failed = true;
            output_.Note("%s: %s", name.c_str(), f.problem.c_str());
            entry["message"] = f.problem;
        } else if (f.state == DiffState::kChanged && f.text && !options_.namesOnly) {
            output_.Line("%s", Shown(f.unified).c_str());
            entry["diff"] = f.unified;
        } else if (f.state == DiffState::kChanged && !f.text) {
            if (!options_.namesOnly) {
                output_.Line("  binary: %lld -> %lld bytes, first difference at byte %lld\n",
                             static_cast<long long>(f.oldSize), static_cast<long long>(f.newSize),
                             static_cast<long long>(f.firstDifference));
            }
            entry["first_difference"] = SizeOrNull(f.firstDifference);
        }
        entries.push_back(entry);
    }
    const bool same = BackupDiff::AllSame(files);
    output_.Value("files", entries);
    output_.Flag("same", same);
    return same && !failed ? CliClient::kExitOk : CliClient::kExitFailed;
}
