#include "cli/CliBackups.h"

#include <string>

#include "cli/CliClient.h"
#include "cli/CliOutput.h"

namespace fs = std::filesystem;

CliBackups::CliBackups(const BackupStore& store, fs::path shownRoot, CliOutput& output)
    : store_(store), shownRoot_(std::move(shownRoot)), output_(output) {}

int CliBackups::Run(const BackupBox* box) {
    output_.Text("store", store_.Root().string());
    const std::vector<StoredBackup> backups = box != nullptr ? store_.ListOf(*box) : store_.List();
    if (box != nullptr) {
        output_.Text("box", box->Text());
        for (const StoredBackup& b : backups) {
            if (b.state.Complete()) {
                output_.Text("latest", b.folder.string());
                break;
            }
        }
    }
    for (const StoredBackup& b : backups) {
        const std::string files = b.state.fileCount < 0 ? "?" : std::to_string(b.state.fileCount);
        output_.Line("%s\t%s\t%s\t%s\t%s\n", b.name.TakenText().c_str(), b.name.box.Text().c_str(),
                     files.c_str(), b.state.Text(),
                     (shownRoot_ / b.folder.filename()).string().c_str());
        output_.Stored(b);
    }
    if (backups.empty()) {
        output_.Info("no backups%s%s in %s", box != nullptr ? " of " : "",
                     box != nullptr ? box->Text().c_str() : "", shownRoot_.string().c_str());
    }
    return CliClient::kExitOk;
}
