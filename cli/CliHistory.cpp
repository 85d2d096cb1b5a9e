#include "cli/CliHistory.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "cli/CliClient.h"
#include "cli/CliOutput.h"
#include "history/BoxHistory.h"

using Json = nlohmann::ordered_json;

CliHistory::CliHistory(const BackupStore& store, BackupBox box, CliOutput& output)
    : store_(store), box_(std::move(box)), output_(output) {}

int CliHistory::Run() {
    const std::vector<HistoryEntry> history = BoxHistory::Of(store_, box_);
    Json backups = Json::array();
    for (const HistoryEntry& entry : history) {
        const StoredBackup& b = entry.backup;
        const std::string folder = b.folder.filename().string();
        output_.Line("%s  %s  %-10s %3d files  %s\n", b.name.TakenText().c_str(), folder.c_str(),
                     b.state.Complete() ? "complete" : "incomplete", std::max(b.state.fileCount, 0),
                     entry.Summary().c_str());
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
    output_.Value("backups", backups);
    output_.Info("%zu backup%s of %s in %s", history.size(), history.size() == 1 ? "" : "s",
                 box_.Text().c_str(), store_.Root().string().c_str());
    return CliClient::kExitOk;
}
