#include "cli/CliBackupSource.h"

#include <ctime>

#include <string>
#include <system_error>
#include <vector>

#include "backup/BackupStore.h"
#include "backup/CompareWords.h"
#include "backup/RestoreWords.h"
#include "base/NearestWord.h"
#include "base/TextEscape.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "history/BackupRef.h"

namespace fs = std::filesystem;

CliBackupSource::CliBackupSource(const CliOptions& options, const fs::path& directory,
                                 fs::path given, CliOutput& output)
    : options_(options),
      given_(std::move(given)),
      folder_((directory / given_).lexically_normal()),
      output_(output) {}

int CliBackupSource::Open(const CliContext& context, std::unique_ptr<CliBackupSource>* source) {
    const CliOptions& options = context.options;
    fs::path given = options.backupFolder;
    int back = 0;
    const bool latest = BackupRef::ParseLatest(options.backupFolder, &back);
    auto reading = std::make_unique<StoreLock>();
    std::string held;
    if (!BackupStore::LockForReading(
            latest ? context.Store().Root() : BackupStore::StoreOf(context.directory / given),
            reading.get(), &held)) {
        return context.output.Error(CliClient::kExitFailed, "%s", held.c_str());
    }
    if (latest) {
        StoredBackup latest;
        std::string why;
        if (!BackupRef::Find(context.Store(), context.box, back, &latest, &why)) {
            return context.output.Error(CliClient::kExitFailed, "%s; %s", why.c_str(),
                                        options.command == CliOptions::Command::kCompare
                                            ? CompareWords::kNothingCompared
                                            : RestoreWords::kNothingSent);
        }
        given = context.ShownStore() / latest.folder.filename();
        context.output.Info("%s backup of %s: %s", options.backupFolder.c_str(),
                            context.box.Text().c_str(), given.string().c_str());
        if (const std::string warning = BackupRef::FutureWarning(latest, std::time(nullptr));
            !warning.empty()) {
            context.output.Note("%s", warning.c_str());
        }
    } else {
        context.output.Folder((context.directory / given).lexically_normal());
        if (const int status = context.CheckBackupFolder(given.string(), {BackupRef::kLatest});
            status != CliClient::kExitOk) {
            return status;
        }
    }
    *source = std::make_unique<CliBackupSource>(options, context.directory, given, context.output);
    (*source)->reading_ = std::move(reading);
    return (*source)->Load();
}

void CliBackupSource::FileDone(const FileReport& file) {
    output_.Note("%s: %s", QuoteForMessage(file.name).c_str(), file.message.c_str());
    output_.File(file);
}

int CliBackupSource::Load() {
    const char* nothing = options_.command == CliOptions::Command::kCompare
                              ? CompareWords::kNothingCompared
                              : RestoreWords::kNothingSent;
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
            CliClient::kExitFailed, "%s",
            RestoreWords::Unusable(given_, backup_.ErrorFile(), backup_.Error()).c_str());
    }
    if (check == BackupContents::Check::kDamaged) {
        return output_.Error(CliClient::kExitFailed, "%s",
                             RestoreWords::Damaged(given_, backup_.Failing(), nothing).c_str());
    }
    std::string missing;
    if (!RestorePlan::Make(backup_, options_.names, &plan_, &missing)) {
        std::vector<std::string> held;
        for (const ManifestEntry& entry : backup_.Entries().Entries()) {
            held.push_back(entry.name);
        }
        const std::string nearest = NearestWord(missing, held);
        const std::string meant =
            nearest.empty() ? "" : "; did you mean '" + QuoteForMessage(nearest) + "'?";
        return output_.Error(CliClient::kExitFailed, "%s: not in the backup; %s%s",
                             QuoteForMessage(missing).c_str(), nothing, meant.c_str());
    }
    if (backup_.Incomplete()) {
        output_.Note(
            "note: %s is an incomplete backup (see its INCOMPLETE); using the files it "
            "holds",
            given_.string().c_str());
    }
    return CliClient::kExitOk;
}
