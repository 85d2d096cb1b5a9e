#include "history/BackupRef.h"

#include <cstdlib>

namespace {

// More complete backups of one box than a store ever holds.
constexpr size_t kMaxBackDigits = 6;

}  // namespace

bool BackupRef::ParseLatest(const std::string& text, int* back) {
    const std::string latest = kLatest;
    if (text.compare(0, latest.size(), latest) != 0) {
        return false;
    }
    const std::string rest = text.substr(latest.size());
    if (rest.empty()) {
        *back = 0;
        return true;
    }
    const std::string digits = rest.substr(1);
    if (rest[0] != kBefore || digits.empty() || digits.size() > kMaxBackDigits ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *back = std::atoi(digits.c_str());
    return true;
}

bool BackupRef::Find(const BackupStore& store, const BackupBox& box, int back, StoredBackup* found,
                     std::string* why) {
    int complete = 0;
    for (StoredBackup& backup : store.ListOf(box)) {
        if (backup.state.Complete() && complete++ == back) {
            *found = std::move(backup);
            return true;
        }
    }
    *why = complete == 0 ? "no complete backup of " + box.Text() + " in " + store.Root().string()
                         : box.Text() + " has " + std::to_string(complete) + " complete backup" +
                               (complete == 1 ? "" : "s") + " in " + store.Root().string() +
                               ", so there is no " + kLatest + kBefore + std::to_string(back);
    return false;
}
