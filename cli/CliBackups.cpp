#include "cli/CliBackups.h"

#include <string>

#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"

namespace fs = std::filesystem;

int CliBackups::Run(const CliBoxLink*) {
    const BackupStore store = context_.Store();
    const fs::path shownRoot = context_.ShownStore();
    CliOutput& output = context_.output;
    // Every box's with --all, else the one box's.
    const BackupBox* box = context_.options.all ? nullptr : &context_.box;
    output.Text("store", store.Root().string());
    const std::vector<StoredBackup> backups = box != nullptr ? store.ListOf(*box) : store.List();
    if (box != nullptr) {
        output.Text("box", box->Text());
        for (const StoredBackup& b : backups) {
            if (b.state.Complete()) {
                output.Text("latest", b.folder.string());
                break;
            }
        }
    }
    for (const StoredBackup& b : backups) {
        const std::string files = b.state.fileCount < 0 ? "?" : std::to_string(b.state.fileCount);
        output.Line("%s\t%s\t%s\t%s\t%s\n", b.name.TakenText().c_str(), b.name.box.Text().c_str(),
                    files.c_str(), b.state.Text(),
                    (shownRoot / b.folder.filename()).string().c_str());
        output.Stored(b);
    }
    if (backups.empty()) {
        output.Info("no backups%s%s in %s", box != nullptr ? " of " : "",
                    box != nullptr ? box->Text().c_str() : "", shownRoot.string().c_str());
    }
    return CliClient::kExitOk;
}
