#include "cli/CliBoxes.h"

#include <ctime>

#include <nlohmann/json.hpp>

#include "backup/BackupAge.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "history/StoreSummary.h"

using Json = nlohmann::ordered_json;

int CliBoxes::Run(const CliBoxLink*) {
    const BackupStore store = context_.Store();
    CliOutput& output = context_.output;
    const std::time_t now = std::time(nullptr);
    Json boxes = Json::array();
    const std::vector<BoxSummary> summaries = StoreSummary::Of(store);
    for (const BoxSummary& s : summaries) {
        Json entry = {{"box", s.box.Text()}};
        CliOutput::PutName(entry, "host", s.box.Name());
        entry.update({{"port", s.box.port},
                      {"backups", s.backups},
                      {"complete", nullptr},
                      {"incomplete", nullptr}});
        std::string complete = "never complete";
        std::string changes = "-";
        if (s.complete) {
            const StoredBackup& b = s.complete->backup;
            const int64_t age = BackupAge::Seconds(b.name, now);
            complete = b.name.TakenText() + " (" + BackupAge::Text(age) + ")";
            changes = s.complete->Summary();
            entry["complete"] = {{"folder", b.folder.string()},
                                 {"taken", b.name.TakenText()},
                                 {"age_seconds", age},
                                 {"files", b.state.fileCount},
                                 {"changes", changes}};
        }
        std::string incomplete = "-";
        if (s.incomplete) {
            incomplete = s.incomplete->name.TakenText() + ": " + s.incompleteWhy;
            entry["incomplete"] = {{"folder", s.incomplete->folder.string()},
                                   {"taken", s.incomplete->name.TakenText()},
                                   {"state", s.incomplete->state.Text()},
                                   {"why", s.incompleteWhy}};
        }
        output.Line("%s\t%d backup(s)\t%s\t%s\t%s\n", s.box.Text().c_str(), s.backups,
                    complete.c_str(), changes.c_str(), incomplete.c_str());
        boxes.push_back(entry);
    }
    output.Text("store", store.Root().string());
    output.Value("boxes", boxes);
    output.Info("%zu box(es) in %s", summaries.size(), store.Root().string().c_str());
    return CliClient::kExitOk;
}
