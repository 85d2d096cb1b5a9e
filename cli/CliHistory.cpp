#include "cli/CliHistory.h"

#include <algorithm>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "backup/StoreName.h"
#include "base/TextEscape.h"
#include "box/BoxDefaults.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "history/BoxHistory.h"

using Json = nlohmann::ordered_json;

namespace {

// Any real stamp, to read a box's name as the start of a backup folder's.
constexpr const char* kAnyStamp = "-20000101-000000";

}  // namespace

bool CliHistory::ParseStoreBox(const std::string& text, BackupBox* box) {
    // The name's start of a backup folder of that box, read as the store reads it.
    BackupName name;
    if (BackupName::Parse(text + kAnyStamp, &name) && name.box.Stem() == text) {
        *box = name.box;
        return true;
    }
    // Or the name a user gave it, as --box-name takes it, on the box's port.
    if (text.empty() || !StoreName::Fits(text)) {
        return false;
    }
    *box = BackupBox::Of(text, box_defaults::kPort);
    return true;
}

void CliHistory::SayOtherPorts(const BackupStore& store, const BackupBox& box) const {
    std::vector<std::string> others;
    for (const StoredBackup& b : store.List()) {
        const std::string stem = b.name.box.Stem();
        if (b.name.box.host == box.host &&
            std::find(others.begin(), others.end(), stem) == others.end()) {
            others.push_back(stem);
        }
    }
    std::string names;
    for (const std::string& other : others) {
        names += (names.empty() ? "" : ", ") + other;
    }
    if (!names.empty()) {
        context_.output.Info("the store has backups of %s on another port: %s (history %s)",
                             QuoteForMessage(box.Name()).c_str(), QuoteForMessage(names).c_str(),
                             QuoteForMessage(others.front()).c_str());
    }
}

int CliHistory::Check() {
    const std::vector<std::string>& names = context_.options.names;
    if (!names.empty() && !ParseStoreBox(names.front(), &named_)) {
        return context_.output.Error(CliClient::kExitUsage,
                                     "'%s' is no box as the store names one (HOST, HOST+PORT or a "
                                     "name of at most %zu bytes once encoded)",
                                     QuoteForMessage(names.front()).c_str(), StoreName::kMaxLength);
    }
    return CliClient::kExitOk;
}

int CliHistory::Run(const CliBoxLink*) {
    const BackupStore store = context_.Store();
    const BackupBox& box = context_.options.names.empty() ? context_.box : named_;
    CliOutput& output = context_.output;
    const std::vector<HistoryEntry> history = BoxHistory::Of(store, box);
    Json backups = Json::array();
    // The columns line up whatever the folders' lengths (a -N, a port).
    int folderWidth = 0;
    for (const HistoryEntry& entry : history) {
        folderWidth =
            std::max(folderWidth, static_cast<int>(entry.backup.folder.filename().string().size()));
    }
    for (const HistoryEntry& entry : history) {
        const StoredBackup& b = entry.backup;
        const std::string folder = b.folder.filename().string();
        output.Line("%s  %-*s  %-10s %3d files  %s\n", b.name.TakenText().c_str(), folderWidth,
                    folder.c_str(), b.state.Complete() ? "complete" : "incomplete",
                    std::max(b.state.fileCount, 0), entry.Summary().c_str());
        Json changes = Json::array();
        for (const FileChange& c : entry.changes) {
            Json change = CliOutput::NamedEntry(c.name);
            change["result"] = FileDiff::StateWord(c.state);
            changes.push_back(change);
        }
        backups.push_back(
            {{"folder", folder},
             {"taken", b.name.TakenText()},
             {"complete", b.state.Complete()},
             {"state", b.state.Text()},
             {"files", b.state.fileCount < 0 ? Json(nullptr) : Json(b.state.fileCount)},
             {"first", entry.first},
             {"summary", entry.Summary()},
             {"changes", changes}});
    }
    output.Value("backups", backups);
    output.Info("%zu backup%s of %s in %s", history.size(), history.size() == 1 ? "" : "s",
                box.Text().c_str(), store.Root().string().c_str());
    if (history.empty()) {
        SayOtherPorts(store, box);
    }
    return CliClient::kExitOk;
}
