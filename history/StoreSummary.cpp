#include "history/StoreSummary.h"

#include "backup/BackupFolder.h"
#include "base/RegularFile.h"
#include "base/TextEscape.h"

namespace {

// INCOMPLETE's first line says why; a file someone put there may be anything.
constexpr size_t kMostReasonBytes = 64 * 1024;

std::string WhyIncomplete(const StoredBackup& backup) {
    std::string text;
    FileKind kind = FileKind::kMissing;
    if (backup.state.kind != BackupState::Kind::kMarkedIncomplete ||
        !ReadRegularFile(backup.folder / BackupFolder::kIncompleteName, LinkRule::kRefuse,
                         kMostReasonBytes, &text, &kind)) {
        return backup.state.Text();
    }
    const std::string first = text.substr(0, text.find('\n'));
    return first.empty() ? backup.state.Text() : QuoteForMessage(first);
}

}  // namespace

BoxSummary StoreSummary::OfBox(const BackupStore& store, const BackupBox& box) {
    BoxSummary summary;
    summary.box = box;
    std::vector<HistoryEntry> history = BoxHistory::Of(store, box);
    summary.backups = static_cast<int>(history.size());
    for (HistoryEntry& entry : history) {
        if (entry.backup.state.Complete()) {
            if (!summary.complete) {
                summary.complete = std::move(entry);
            }
        } else if (!summary.incomplete) {
            summary.incomplete = entry.backup;
            summary.incompleteWhy = WhyIncomplete(entry.backup);
        }
    }
    return summary;
}

std::vector<BoxSummary> StoreSummary::Of(const BackupStore& store) {
    std::vector<BoxSummary> boxes;
    for (const StoredBackup& backup : store.List()) {
        bool known = false;
        for (const BoxSummary& b : boxes) {
            known = known || b.box == backup.name.box;
        }
        if (!known) {
            boxes.push_back(OfBox(store, backup.name.box));
        }
    }
    return boxes;
}
