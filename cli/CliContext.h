#pragma once
// What every command of one velqo-cli run shares: the options, the output,
// DIR and the box as the store names it. CliClient fills `directory` before
// any Check and `box` once the address is chosen (CliReach::kAddress and on),
// so a command reads them in Check and Run, not when it is made.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "backup/BackupStore.h"
#include "cli/CliOptions.h"

class CliOutput;

struct CliContext {
    CliContext(const CliOptions& options, CliOutput& output) : options(options), output(output) {}

    // The backup store: --into, else backup/ in DIR; absolute, and as shown.
    BackupStore Store() const;
    std::filesystem::path ShownStore() const;
    // The settings file: --config, else config/config.ini in DIR.
    std::string SettingsPath() const;
    // A path the user gave, as seen from DIR (an absolute one stays as it is).
    std::filesystem::path InDirectory(const std::filesystem::path& path) const;

    // A backup folder the user named (`given`, relative to DIR unless
    // absolute): 0 when it is a folder, else the usage error said, with the
    // word of `words` ("latest", "box") it may have been meant to be, and
    // where a relative one was read with -C.
    int CheckBackupFolder(const std::string& given, const std::vector<std::string>& words) const;

    const CliOptions& options;
    CliOutput& output;
    std::filesystem::path directory;  // DIR as an absolute path
    BackupBox box;                    // the box in the store: its address or --box-name, and port
};
