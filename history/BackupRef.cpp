#include "history/BackupRef.h"

#include <limits>

#include "backup/BackupAge.h"
#include "base/DecimalNumber.h"

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
    // N as it is written, without leading zeros: one spelling per backup.
    const std::string digits = rest.substr(1);
    long long value = 0;
    if (rest[0] != kBefore || (digits.size() > 1 && digits[0] == '0') ||
        !ReadDecimal(digits, 0, std::numeric_limits<int>::max(), &value)) {
        return false;
    }
    *back = static_cast<int>(value);
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

std::string BackupRef::FutureWarning(const StoredBackup& found, std::time_t now) {
    if (BackupAge::Seconds(found.name, now) >= 0) {
        return "";
    }
    return "warning: " + found.folder.filename().string() + " is dated " + found.name.TakenText() +
           ", ahead of this PC's clock; if the clock was set back, newer backups sort before it";
}
