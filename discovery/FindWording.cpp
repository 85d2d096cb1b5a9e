#include "discovery/FindWording.h"

#include <algorithm>

#include "backup/BackupAge.h"
#include "box/WireFormat.h"
#include "discovery/AddressRange.h"

std::string FindWording::Detail(const FindResult& result) {
    if (result.kind != FindResult::Kind::kBox) {
        return result.detail;
    }
    return std::to_string(std::max(result.fileCount, 0)) + " file(s), requires tool " +
           wire::VersionText(result.requiredVersion) +
           (result.detail.empty() ? "" : "; " + result.detail);
}

FoundBackup FindWording::Backup(const FindResult& result, uint16_t port, const BackupStore& store,
                                std::time_t now) {
    FoundBackup backup;
    backup.text = "-";
    if (!result.MayBeBox()) {
        return backup;
    }
    backup.known = true;
    backup.found = store.Latest(BackupBox::Of(DottedAddress(result.address), port), &backup.latest);
    if (backup.found) {
        backup.ageSeconds = BackupAge::Seconds(backup.latest.name, now);
        backup.text = "newest backup " + BackupAge::Text(backup.ageSeconds);
    } else {
        backup.text = "never backed up";
    }
    return backup;
}
