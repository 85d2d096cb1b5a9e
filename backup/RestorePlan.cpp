#include "backup/RestorePlan.h"

#include "backup/BackupContents.h"

bool RestorePlan::Make(const BackupContents& backup, const std::vector<std::string>& names,
                       RestorePlan* out, std::string* notInBackup) {
    const Manifest& manifest = backup.Entries();
    for (const std::string& name : names) {
        if (manifest.Find(name) == nullptr) {
            *notInBackup = name;
            return false;
        }
    }
    RestorePlan plan;
    for (const ManifestEntry& e : manifest.Entries()) {
        bool named = false;
        for (const std::string& n : names) {
            named = named || n == e.name;
        }
        bool planned = false;
        for (const PlannedFile& p : plan.files_) {
            planned = planned || p.name == e.name;
        }
        if (!planned && (named || names.empty())) {
            plan.files_.push_back({e.name, e.group, e.type, named});
        }
    }
    *out = std::move(plan);
    return true;
}

bool RestorePlan::MarkUnchanged(const std::string& name) {
    for (PlannedFile& p : files_) {
        if (p.name == name) {
            p.unchanged = true;
            return true;
        }
    }
    return false;
}

bool RestorePlan::MarkCompared(const FileReport& compared) {
    for (PlannedFile& p : files_) {
        if (p.name == compared.name) {
            p.unchanged = p.unchanged || compared.result == FileResult::kSame;
            if (compared.result == FileResult::kFailed) {
                p.notCompared = compared.message;
            }
            return true;
        }
    }
    return false;
}
