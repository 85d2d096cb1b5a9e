#pragma once
// What a prune of old backups did, in the words every front shows
// (velqo-cli's lines, its document's keys and its error): one line per old
// backup from one table, and why the prune is a problem. Sentences without a
// capital or a full stop; a front adds its own.
#include <filesystem>
#include <string>

#include "backup/BackupStore.h"

class PruneWords {
public:
    enum class Kind {
        kRemoved,     // `removed`
        kKept,        // `keptForeign`: removed, its folder kept for what it did not make
        kNotRemoved,  // `failed`
    };

    // "removed the old backup FOLDER", "cannot remove the old backup FOLDER:
    // why"...; the folder shown in `shownStore`, as the user named the store.
    // `why`: the problem's, none for one removed.
    static std::string Line(Kind kind, const std::filesystem::path& shownStore,
                            const std::filesystem::path& folder, const std::string& why = {});
    // A document's key for an old backup not gone: "kept", "not_removed";
    // null for one removed.
    static const char* Key(Kind kind);
    // "no old backup removed now: why", when the prune was put off; else empty.
    static std::string Deferred(const PruneOutcome& outcome);
    // Why a complete backup's run still failed: nothing pruned at all, or
    // old backups that could not be removed (the first named). Empty when
    // the prune did its part.
    static std::string Problem(const PruneOutcome& outcome,
                               const std::filesystem::path& shownStore);
};
