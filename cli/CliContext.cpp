#include "cli/CliContext.h"

namespace fs = std::filesystem;

BackupStore CliContext::Store() const {
    return BackupStore(
        (directory / (options.into.empty() ? BackupStore::kDefaultFolder : options.into))
            .lexically_normal());
}

fs::path CliContext::ShownStore() const {
    return options.into.empty() ? directory / BackupStore::kDefaultFolder : fs::path(options.into);
}

fs::path CliContext::InDirectory(const fs::path& path) const {
    return options.directory.empty() ? path : fs::path(options.directory) / path;
}
