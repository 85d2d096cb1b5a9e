#include "cli/CliBackupSource.h"

#include <string>
#include <system_error>

#include "base/TextEscape.h"
#include "cli/CliClient.h"
#include "cli/CliOutput.h"

namespace fs = std::filesystem;

CliBackupSource::CliBackupSource(const CliOptions& options, const fs::path& directory,
                                 fs::path given, CliOutput& output)
    : options_(options),
      given_(std::move(given)),
      folder_((directory / given_).lexically_normal()),
      output_(output) {}

void CliBackupSource::FileDone(const FileReport& file) {
    output_.Note("%s: %s", QuoteForMessage(file.name).c_str(), file.message.c_str());
    output_.File(file);
}

int CliBackupSource::Load() {
    const char* nothing = options_.command == CliOptions::Command::kCompare ? "nothing was compared"
                                                                            : "nothing was sent";
    output_.Folder(folder_);
    std::error_code ec;
    const fs::file_status status = fs::status(folder_, ec);
    if (!fs::is_directory(status)) {
        return output_.Error(CliClient::kExitUsage, "%s: %s", given_.string().c_str(),
                             fs::exists(status) ? "not a folder" : "no such folder");
    }
    const BackupContents::Check check = backup_.Load(folder_, this);
    if (check == BackupContents::Check::kUnusable) {
        return output_.Error(
            CliClient::kExitFailed, "%s is not a usable backup: %s: %s", given_.string().c_str(),
            (given_ / backup_.ErrorFile()).string().c_str(), backup_.Error().c_str());
    }
    if (check == BackupContents::Check::kDamaged) {
        std::string names;
        for (const std::string& f : backup_.Failing()) {
            names += (names.empty() ? "" : ", ") + QuoteForMessage(f);
        }
        return output_.Error(CliClient::kExitFailed, "the backup in %s is damaged (%s); %s",
                             given_.string().c_str(), names.c_str(), nothing);
    }
    std::string missing;
    if (!RestorePlan::Make(backup_, options_.names, &plan_, &missing)) {
        return output_.Error(CliClient::kExitFailed, "%s: not in the backup; %s",
                             QuoteForMessage(missing).c_str(), nothing);
    }
    if (backup_.Incomplete()) {
        output_.Note(
            "note: %s is an incomplete backup (see its INCOMPLETE); using the files it "
            "holds",
            given_.string().c_str());
    }
    return CliClient::kExitOk;
}
