#include "cli/CliContext.h"

#include <system_error>

#include "base/NearestWord.h"
#include "base/TextEscape.h"
#include "cli/CliClient.h"
#include "cli/CliOutput.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSettingsFile = "config/config.ini";

}  // namespace

BackupStore CliContext::Store() const {
    return BackupStore(
        (directory / (options.into.empty() ? BackupStore::kDefaultFolder : options.into))
            .lexically_normal());
}

fs::path CliContext::ShownStore() const {
    return options.into.empty() ? directory / BackupStore::kDefaultFolder : fs::path(options.into);
}

std::string CliContext::SettingsPath() const {
    return !options.config.empty()
               ? options.config
               : (options.directory.empty() ? std::string() : options.directory + "/") +
                     kSettingsFile;
}

fs::path CliContext::InDirectory(const fs::path& path) const {
    return options.directory.empty() ? path : fs::path(options.directory) / path;
}

int CliContext::CheckBackupFolder(const std::string& given,
                                  const std::vector<std::string>& words) const {
    std::error_code ec;
    const fs::file_status status = fs::status((directory / given).lexically_normal(), ec);
    if (fs::is_directory(status)) {
        return CliClient::kExitOk;
    }
    const std::string under = options.directory.empty() || fs::path(given).is_absolute()
                                  ? ""
                                  : " (read under -C " + QuoteForMessage(options.directory) + ")";
    const std::string nearest = NearestWord(given, words);
    const std::string meant = nearest.empty() ? "" : "; did you mean '" + nearest + "'?";
    return output.Error(CliClient::kExitUsage, "%s: %s%s%s", QuoteForMessage(given).c_str(),
                        fs::exists(status) ? "not a folder" : "no such folder", under.c_str(),
                        meant.c_str());
}
