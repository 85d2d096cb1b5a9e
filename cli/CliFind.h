#pragma once
// `velqo-cli find [RANGE...]`: the boxes on the LAN, found by trying the
// box's port on each address of the ranges (without ranges, of the PC's own
// private networks). Prints one line per address that answered, in address
// order, with the age of the box's newest backup in the store; or, with
// --inventory, an Ansible inventory of the boxes found; --write-settings puts
// the one box found into the settings file as BOXIP.
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "backup/BackupStore.h"
#include "cli/CliCommand.h"
#include "discovery/FindResult.h"
#include "discovery/FindSettings.h"
#include "discovery/SearchRanges.h"

struct CliContext;
struct CliOptions;
class CliOutput;

class CliFind : public CliCommand {
public:
    // The settings file (CliContext::SettingsPath) gives the port and, with
    // --login, the password when the options do not, and takes BOXIP with
    // --write-settings. The progress line goes through TerminalLog.
    explicit CliFind(const CliContext& context);
    // The port, the password and the ranges: a usage error before anything
    // is tried.
    int Check() override;
    // The exit status: 0 something answered, 1 nothing did.
    int Run(const CliBoxLink* box) override;

private:
    // The ranges named, else those of the PC's networks; the exit status.
    int ChooseRanges(SearchRanges* ranges);
    // The port (-p, else the settings file's PORT, else the box's) and, for
    // --login, the password (given, else the settings file's); the exit status.
    int ChoosePortAndPassword(FindSettings* search);
    // One address that answered: its line, and its entry in `boxes`.
    void Report(const FindResult& result, const BackupStore& store, nlohmann::ordered_json* boxes);
    void PrintInventory(const std::vector<FindResult>& results);
    // Which results go into the inventory and the settings file.
    bool IsFoundBox(const FindResult& result) const;
    int WriteSettings(const std::vector<FindResult>& results);

    const CliContext& context_;
    const CliOptions& options_;
    CliOutput& output_;
    std::filesystem::path settingsFile_;  // read in Check, once DIR is known
    FindSettings settings_;
    SearchRanges ranges_;
};
