#include "cli/CliFind.h"

#include <ctime>

#include <nlohmann/json.hpp>

#include "box/BoxDefaults.h"
#include "box/BoxSettings.h"
#include "box/SettingsFileEdit.h"
#include "box/WireFormat.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"
#include "discovery/BoxSearch.h"
#include "discovery/DefaultRanges.h"
#include "discovery/FindWording.h"
#include "discovery/LocalInterfaces.h"

using Json = nlohmann::ordered_json;

namespace {

// The inventory's group of the boxes found, the one the collection's
// example playbooks run on.
constexpr const char* kInventoryGroup = "boxes";

std::string Where(uint32_t address, uint16_t port) {
    return DottedAddress(address) + ":" + std::to_string(port);
}

// "box-127-0-0-2": an inventory name Ansible takes as it is.
std::string InventoryName(uint32_t address) {
    std::string name = "box-" + DottedAddress(address);
    for (char& c : name) {
        c = c == '.' ? '-' : c;
    }
    return name;
}

}  // namespace

CliFind::CliFind(const CliContext& context)
    : context_(context), options_(context.options), output_(context.output) {}

int CliFind::ChooseRanges(SearchRanges* ranges) {
    std::string why;
    SearchRanges::Problem problem = SearchRanges::Problem::kNone;
    if (!options_.names.empty()) {
        problem = ranges->Read(options_.names, options_.wide, &why);
    } else {
        const std::vector<DefaultRange> entries = DefaultRanges::Of(ListLocalInterfaces());
        for (const DefaultRange& e : entries) {
            const std::string from = e.from.name + " " + DottedAddress(e.from.address) + "/" +
                                     std::to_string(e.from.prefixLength);
            if (e.searched) {
                output_.Info("searching %s (from %s)%s%s", e.range.Text().c_str(), from.c_str(),
                             e.why.empty() ? "" : ": ", e.why.c_str());
            } else {
                output_.Detail("not searching %s: %s", from.c_str(), e.why.c_str());
            }
        }
        const std::vector<AddressRange> searched = DefaultRanges::Searched(entries);
        if (searched.empty()) {
            return output_.Error(CliClient::kExitUsage,
                                 "none of the PC's networks is a private one to search; name the "
                                 "range: velqo-cli find A.B.C.D/N");
        }
        problem = ranges->Take(searched, options_.wide, &why);
    }
    switch (problem) {
        case SearchRanges::Problem::kNone:
            break;
        case SearchRanges::Problem::kNeedsPurpose:
            return output_.Error(CliClient::kExitUsage, "%s: give --wide to search it on purpose",
                                 why.c_str());
        case SearchRanges::Problem::kBadText:
        case SearchRanges::Problem::kTooMany:
            return output_.Error(CliClient::kExitUsage, "%s", why.c_str());
    }
    for (const AddressRange& r : ranges->Ranges()) {
        output_.Detail("will try %s: %s to %s, port %u", r.Text().c_str(),
                       DottedAddress(r.First()).c_str(), DottedAddress(r.Last()).c_str(),
                       static_cast<unsigned>(settings_.port));
    }
    return CliClient::kExitOk;
}

int CliFind::ChoosePortAndPassword(FindSettings* search) {
    const bool portGiven = options_.port > 0;
    const bool passwordGiven = !options_.login || options_.hasPassword;
    search->port = static_cast<uint16_t>(portGiven ? options_.port : box_defaults::kPort);
    search->password = options_.login ? options_.password : "";
    if (portGiven && passwordGiven) {
        return CliClient::kExitOk;
    }
    BoxSettings settings;
    BoxSettingsReport report;
    settings.LoadFrom(settingsFile_.string().c_str(), &report);
    const std::string file = settingsFile_.string();
    if (!report.fileProblem.empty()) {
        return output_.Error(CliClient::kExitUsage, "%s cannot be used as a settings file: %s",
                             file.c_str(), report.fileProblem.c_str());
    }
    for (const BoxSettingsReport::Line* line : {&report.port, &report.password}) {
        if (line->number > 0 && !line->problem.empty()) {
            return output_.Error(CliClient::kExitUsage, "%s line %d: %s", file.c_str(),
                                 line->number, line->problem.c_str());
        }
    }
    if (!portGiven && report.port.number > 0) {
        search->port = static_cast<uint16_t>(settings.GetPort());
    }
    if (!passwordGiven) {
        if (report.password.number == 0) {
            // Never the factory password: a search sends only what it was given.
            return output_.Error(CliClient::kExitUsage,
                                 "--login needs the boxes' password: --password PIN, "
                                 "VELQO_PASSWORD or a PASSWORD line in %s",
                                 file.c_str());
        }
        search->password = settings.Password();
    }
    return CliClient::kExitOk;
}

bool CliFind::IsFoundBox(const FindResult& result) const {
    // Without a login an open port is all there is to go by.
    return result.kind == FindResult::Kind::kBox ||
           (!options_.login && result.kind == FindResult::Kind::kOpen);
}

void CliFind::Report(const FindResult& result, const BackupStore& store, Json* boxes) {
    const std::string detail = FindWording::Detail(result);
    Json entry = {
        {"address", DottedAddress(result.address)},
        {"port", settings_.port},
        {"result", FindKindWord(result.kind)},
        {"message", detail.empty() ? Json(nullptr) : Json(detail)},
        {"files", result.fileCount < 0 ? Json(nullptr) : Json(result.fileCount)},
        {"requires", result.requiredVersion == 0 ? Json(nullptr)
                                                 : Json(wire::VersionText(result.requiredVersion))},
        {"backup", nullptr}};
    const FoundBackup backup =
        FindWording::Backup(result, settings_.port, store, std::time(nullptr));
    if (backup.found) {
        entry["backup"] = {{"folder", backup.latest.folder.string()},
                           {"taken", backup.latest.name.TakenText()},
                           {"age_seconds", backup.ageSeconds}};
    }
    output_.Line("%s\t%s\t%s\t%s\n", Where(result.address, settings_.port).c_str(),
                 FindKindWord(result.kind), detail.empty() ? "-" : detail.c_str(),
                 backup.text.c_str());
    boxes->push_back(entry);
}

void CliFind::PrintInventory(const std::vector<FindResult>& results) {
    std::string yaml = "# Boxes found by velqo-cli find\nall:\n  children:\n    " +
                       std::string(kInventoryGroup) + ":\n      hosts:";
    bool any = false;
    for (const FindResult& r : results) {
        if (!IsFoundBox(r)) {
            continue;
        }
        yaml += "\n        " + InventoryName(r.address) +
                ":\n          ansible_host: " + DottedAddress(r.address);
        if (settings_.port != box_defaults::kPort) {
            yaml += "\n          velqo_port: " + std::to_string(settings_.port);
        }
        any = true;
    }
    yaml += any ? "\n" : " {}\n";
    output_.Line("%s", yaml.c_str());
}

int CliFind::WriteSettings(const std::vector<FindResult>& results) {
    std::vector<const FindResult*> boxes;
    for (const FindResult& r : results) {
        if (IsFoundBox(r)) {
            boxes.push_back(&r);
        }
    }
    if (boxes.size() != 1) {
        return output_.Error(CliClient::kExitFailed,
                             "--write-settings needs exactly one box found, not %zu; name the "
                             "box's address as the range",
                             boxes.size());
    }
    std::vector<SettingsFileEdit::Setting> settings = {{"BOXIP", DottedAddress(boxes[0]->address)}};
    BoxSettings before;
    before.LoadFrom(settingsFile_.string().c_str());
    if (before.GetPort() != settings_.port) {
        settings.push_back({"PORT", std::to_string(settings_.port)});
    }
    std::string why;
    if (!SettingsFileEdit::Set(settingsFile_, settings, &why)) {
        return output_.Error(CliClient::kExitFailed, "%s", why.c_str());
    }
    output_.Info("BOXIP=%s written to %s", settings[0].value.c_str(),
                 settingsFile_.string().c_str());
    output_.Text("settings", settingsFile_.string());
    return CliClient::kExitOk;
}

int CliFind::Check() {
    if (!options_.host.empty()) {
        return output_.Error(CliClient::kExitUsage,
                             "find searches the RANGEs given; --host names one box (give its "
                             "address as the range)");
    }
    settingsFile_ = context_.SettingsPath();
    if (const int status = ChoosePortAndPassword(&settings_); status != CliClient::kExitOk) {
        return status;
    }
    if (const int status = ChooseRanges(&ranges_); status != CliClient::kExitOk) {
        return status;
    }
    settings_.timeoutMs = options_.timeoutMs > 0 ? options_.timeoutMs : settings_.timeoutMs;
    settings_.parallel = options_.parallel > 0 ? options_.parallel : settings_.parallel;
    settings_.login = options_.login;
    return CliClient::kExitOk;
}

int CliFind::Run(const CliBoxLink*) {
    BoxSearch search(settings_);
    search.SetProgress([](size_t done, size_t total, size_t answered) {
        TerminalLog::Status("tried " + std::to_string(done) + " of " + std::to_string(total) +
                                " addresses, " + std::to_string(answered) + " answered",
                            done == total);
    });
    const std::vector<FindResult> results = search.Run(ranges_.Addresses());
    TerminalLog::ClearLine(stderr);
    Json searched = Json::array();
    for (const AddressRange& r : ranges_.Ranges()) {
        searched.push_back(r.Text());
    }
    output_.Value("ranges", searched);
    const BackupStore store = context_.Store();
    Json found = Json::array();
    size_t answered = 0;
    size_t boxes = 0;
    for (const FindResult& r : results) {
        if (r.Answered()) {
            ++answered;
            boxes += r.kind == FindResult::Kind::kBox ? 1 : 0;
            if (!options_.inventory) {
                Report(r, store, &found);
            }
        }
    }
    output_.Value("boxes", found);
    if (options_.inventory) {
        PrintInventory(results);
    }
    const std::string asBoxes = options_.login ? ", " + std::to_string(boxes) + " as a box" : "";
    output_.Info("%zu of %zu address(es) answered on port %u%s", answered, results.size(),
                 static_cast<unsigned>(settings_.port), asBoxes.c_str());
    if (options_.writeSettings) {
        if (const int status = WriteSettings(results); status != CliClient::kExitOk) {
            return status;
        }
    }
    return answered > 0 ? CliClient::kExitOk : CliClient::kExitFailed;
}
