#include "backup/BoxBackup.h"

#include <algorithm>
#include <system_error>

#include "backup/BackupFolder.h"
#include "backup/BackupStore.h"
#include "backup/ChecksumList.h"
#include "backup/Sha256.h"
#include "backup/WholeBoxReport.h"
#include "base/TextEscape.h"
#include "box/BoxSession.h"
#include "box/PlainFileName.h"
#include "box/TransferText.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

// Whether the manifest can hold the entry so that it reads back the same.
bool FitsManifest(const ManifestEntry& entry) {
    Manifest parsed;
    std::string error;
    return Manifest::Parse(Manifest::Format({entry}), &parsed, &error) &&
           parsed.Entries().size() == 1 && parsed.Entries()[0].group == entry.group &&
           parsed.Entries()[0].name == entry.name;
}

// The box's list as a backup sees it: each name once, in list order.
struct ListedFile {
    const wire::ListRecord* record;
    enum class State { kPending, kSaved, kFailed } state = State::kPending;
    std::string why{};     // kFailed
    std::string sha256{};  // kSaved
};

}  // namespace

BoxBackup::BoxBackup(fs::path into, BackupBox box) : into_(std::move(into)), box_(std::move(box)) {}

bool BoxBackup::MakeFolderFirst(std::string* why) {
    return BackupStore(into_).MakeFolder(box_, &folder_, why);
}

BackupOutcome BoxBackup::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                             WholeBoxReport& report) {
    BackupOutcome outcome;
    outcome.folder = folder_;
    if (folder_.empty() && !BackupStore(into_).MakeFolder(box_, &outcome.folder, &outcome.why)) {
        outcome.status = BackupOutcome::Status::kNoFolder;
        return outcome;
    }
    const fs::path& folder = outcome.folder;
    const int32_t count = session.LastListCount();
    if (count < 0 || count > static_cast<int32_t>(wire::kMaxListRecords)) {
        outcome.listProblem = "the box sent an invalid file list (a count of " +
                              std::to_string(count) + ", not 0 to " +
                              std::to_string(wire::kMaxListRecords) +
                              "), so it may hold files not named here";
    }
    std::vector<ListedFile> files;
    for (const wire::ListRecord& r : listed) {
        const bool seen = std::any_of(files.begin(), files.end(), [&](const ListedFile& f) {
            return f.record->nameFillsField == r.nameFillsField &&
                   std::string(f.record->name) == r.name;
        });
        if (!seen) {
            files.push_back({&r});
        }
    }
    outcome.listed = files.size();

    const auto write = [&](const char* name, const std::string& text) {
        const fs::path path = folder / name;
        const auto known = std::find(outcome.unwritten.begin(), outcome.unwritten.end(), path);
        if (BackupFolder::WriteText(folder, name, text)) {
            if (known != outcome.unwritten.end()) {
                outcome.unwritten.erase(known);
            }
            return true;
        }
        if (known == outcome.unwritten.end()) {
            outcome.unwritten.push_back(path);
        }
        return false;
    };
    const auto writeIncomplete = [&] {
        std::vector<BackupFolder::Missing> missing;
        for (const ListedFile& f : files) {
            if (f.state == ListedFile::State::kPending) {
                missing.push_back({f.record->name, "not saved: the backup was broken off"});
            } else if (f.state == ListedFile::State::kFailed) {
                missing.push_back({f.record->name, f.why});
            }
        }
        return write(BackupFolder::kIncompleteName,
                     BackupFolder::IncompleteText(missing, outcome.saved, outcome.listProblem));
    };
    // The manifest lists every listing of a saved name (a name may be in
    // several groups); SHA256SUMS checks the saved files and, once it stops
    // changing, the manifest. A saved file goes into SHA256SUMS first and the
    // manifest second: a backup broken off between the two renames holds a
    // checked file that the manifest does not list yet, never a manifest that
    // fails its checksum.
    const auto manifestText = [&] {
        std::vector<ManifestEntry> entries;
        for (const wire::ListRecord& r : listed) {
            const bool saved =
                !r.nameFillsField && std::any_of(files.begin(), files.end(), [&](const auto& f) {
                    return f.state == ListedFile::State::kSaved &&
                           std::string(f.record->name) == r.name;
                });
            if (saved) {
                entries.push_back({r.group, r.name, r.type});
            }
        }
        return Manifest::Format(entries);
    };
    const auto writeSums = [&](bool withManifest) {
        std::vector<ChecksumLine> sums;
        for (const ListedFile& f : files) {
            if (f.state == ListedFile::State::kSaved) {
                sums.push_back({f.sha256, f.record->name});
            }
        }
        if (withManifest) {
            sums.push_back({Sha256::OfBytes(manifestText()), BackupFolder::kManifestName});
        }
        return write(BackupFolder::kChecksumsName, ChecksumList::Format(sums));
    };
    const auto writeManifest = [&] { return write(BackupFolder::kManifestName, manifestText()); };
    // Until the end the folder says that it is not complete, and from the
    // start it is a backup that restores what it holds.
    if (!writeIncomplete()) {
        outcome.status = BackupOutcome::Status::kNotStarted;
        return outcome;
    }
    if (writeManifest()) {
        writeSums(true);
    }

    bool linkLost = false;
    int index = 0;
    for (ListedFile& f : files) {
        if (report.StopRequested()) {
            outcome.stopped = true;  // INCOMPLETE names the rest as broken off
            break;
        }
        const wire::ListRecord& r = *f.record;
        const std::string name = r.name;
        report.FileStarting(++index, static_cast<int>(files.size()), name);
        FileReport file{name, r.group, r.type};
        const auto fail = [&](const std::string& why) {
            file.result = FileResult::kFailed;
            file.message = why;
            f.state = ListedFile::State::kFailed;
            f.why = why;
            writeIncomplete();
            report.FileDone(file);
        };
        if (linkLost) {
            fail("not tried, the link to the box was lost");
            continue;
        }
        if (r.nameFillsField) {
            fail("cannot be requested: the name fills its field");
            continue;
        }
        if (const std::string unusable = UnusableNameText(name.c_str()); !unusable.empty()) {
            fail(unusable);
            continue;
        }
        if (BackupFolder::IsOwnFileName(name)) {
            fail("its name is that of one of the backup's own files");
            continue;
        }
        const bool fits = std::all_of(listed.begin(), listed.end(), [&](const auto& e) {
            return e.nameFillsField || name != e.name || FitsManifest({e.group, e.name, e.type});
        });
        if (!fits) {
            fail("its group or name cannot be written in a manifest");
            continue;
        }
        session.DumpInto(name.c_str(), folder, ReplacedFile::kDiscard);  // a folder of its own
        if (const TransferOutcome outcome = session.LastOutcome();
            outcome != TransferOutcome::kDone) {
            linkLost = session.LinkLost();
            // Why, as the session knows it: a full disk is not a lost link.
            std::string why = TransferFailureText(outcome, true);
            if (outcome == TransferOutcome::kRefused && !session.LastRefusal().empty()) {
                why += ": \"" + QuoteForMessage(session.LastRefusal()) + "\"";
            } else if (outcome == TransferOutcome::kLocalFailed) {
                why += " (is the disk full?)";
            }
            fail(why);
            continue;
        }
        if (!Sha256::OfFile(folder / name, &file.sha256)) {
            fail("the saved file cannot be read back");
            continue;
        }
        std::error_code ec;
        const auto size = fs::file_size(folder / name, ec);
        file.size = ec ? -1 : static_cast<int64_t>(size);
        f.state = ListedFile::State::kSaved;
        f.sha256 = file.sha256;
        // Saved only once SHA256SUMS and the manifest on disk hold it (a
        // full disk may leave no room for them).
        const bool summed = writeSums(false);
        if (!summed || !writeManifest()) {
            f.state = ListedFile::State::kFailed;
            // Unlisted, the file is no part of the backup, and its room may
            // let INCOMPLETE say so; while SHA256SUMS still holds it, it stays
            // there to match its line.
            if (!summed || writeSums(false)) {
                fs::remove(folder / name, ec);
            }
            file.size = -1;
            file.sha256.clear();
            fail("downloaded, but " +
                 std::string(summed ? BackupFolder::kManifestName : BackupFolder::kChecksumsName) +
                 " cannot be written to list it (is the disk full?)");
            continue;
        }
        file.result = FileResult::kSaved;
        ++outcome.saved;
        writeIncomplete();
        report.FileDone(file);
    }

    // The manifest is final (written again, in case a write of it failed):
    // its checksum joins the files', as long as each write before it held.
    if (writeSums(false) && writeManifest()) {
        writeSums(true);
    }
    const bool everything = outcome.saved == files.size() && outcome.listProblem.empty();
    if (!everything) {
        // Once more: what was removed above may have made room for it.
        writeIncomplete();
    }
    bool written = outcome.unwritten.empty();
    if (written && everything) {
        std::error_code ec;
        written = fs::remove(folder / BackupFolder::kIncompleteName, ec);
    }
    outcome.status = written && everything ? BackupOutcome::Status::kComplete
                                           : BackupOutcome::Status::kIncomplete;
    return outcome;
}
