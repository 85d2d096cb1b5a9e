#include "backup/BoxBackup.h"

#include <system_error>

#include "backup/BackupFolder.h"
#include "backup/ChecksumList.h"
#include "backup/Sha256.h"
#include "backup/WholeBoxReport.h"
#include "box/BoxSession.h"
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

}  // namespace

BoxBackup::BoxBackup(fs::path into, std::string host)
    : into_(std::move(into)), host_(std::move(host)) {}

BackupOutcome BoxBackup::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                             WholeBoxReport& report) {
    BackupOutcome outcome;
    if (!BackupFolder::Make(into_, host_, &outcome.folder, &outcome.why)) {
        outcome.status = BackupOutcome::Status::kNoFolder;
        return outcome;
    }
    const fs::path& folder = outcome.folder;
    std::vector<ManifestEntry> entries;
    std::vector<const ManifestEntry*> first;  // each name once, in list order
    entries.reserve(listed.size());
    for (const wire::ListRecord& r : listed) {
        entries.push_back({r.group, r.name, r.type});
    }
    for (const ManifestEntry& e : entries) {
        bool seen = false;
        for (const ManifestEntry* f : first) {
            seen = seen || f->name == e.name;
        }
        if (!seen) {
            first.push_back(&e);
        }
    }
    outcome.listed = first.size();
    const auto write = [&](const char* name, const std::string& text) {
        if (BackupFolder::WriteText(folder, name, text)) {
            return true;
        }
        outcome.unwritten.push_back(folder / name);
        return false;
    };
    std::vector<BackupFolder::Missing> missing;
    for (const ManifestEntry* f : first) {
        missing.push_back({f->name, "not saved: the backup was broken off"});
    }
    // Until the end the folder says that it is not complete.
    if (!write(BackupFolder::kIncompleteName, BackupFolder::IncompleteText(missing))) {
        outcome.status = BackupOutcome::Status::kNotStarted;
        return outcome;
    }
    missing.clear();

    std::vector<ChecksumLine> sums;
    bool linkLost = false;
    int index = 0;
    for (const ManifestEntry* f : first) {
        const std::string& name = f->name;
        report.FileStarting(++index, static_cast<int>(first.size()), name);
        FileReport file{name, f->group, f->type};
        const auto fail = [&](const std::string& why) {
            file.result = FileResult::kFailed;
            file.message = why;
            missing.push_back({name, why});
            report.FileDone(file);
        };
        if (linkLost) {
            fail("not tried, the link to the box was lost");
            continue;
        }
        if (BackupFolder::IsOwnFileName(name)) {
            fail("its name is that of one of the backup's own files");
            continue;
        }
        bool fits = true;
        for (const ManifestEntry& e : entries) {
            fits = fits && (e.name != name || FitsManifest(e));
        }
        if (!fits) {
            fail("its group or name cannot be written in a manifest");
            continue;
        }
        session.DumpInto(name.c_str(), folder);
        if (session.LastOutcome() != TransferOutcome::kDone) {
            linkLost = session.LinkLost();
            fail("the download failed");
            continue;
        }
        if (!Sha256::OfFile((folder / name).string(), &file.sha256)) {
            fail("the saved file cannot be read back");
            continue;
        }
        std::error_code ec;
        const auto size = fs::file_size(folder / name, ec);
        file.size = ec ? -1 : static_cast<int64_t>(size);
        file.result = FileResult::kSaved;
        sums.push_back({file.sha256, name});
        report.FileDone(file);
    }
    outcome.saved = sums.size();

    std::vector<ManifestEntry> saved;
    for (const ManifestEntry& e : entries) {
        bool wasSaved = false;
        for (const ChecksumLine& s : sums) {
            wasSaved = wasSaved || s.name == e.name;
        }
        if (wasSaved) {
            saved.push_back(e);
        }
    }
    bool written = write(BackupFolder::kChecksumsName, ChecksumList::Format(sums)) &&
                   write(BackupFolder::kManifestName, Manifest::Format(saved));
    if (written && missing.empty()) {
        std::error_code ec;
        written = fs::remove(folder / BackupFolder::kIncompleteName, ec);
    } else if (written) {
        written = write(BackupFolder::kIncompleteName, BackupFolder::IncompleteText(missing));
    }
    outcome.status = written && missing.empty() ? BackupOutcome::Status::kComplete
                                                : BackupOutcome::Status::kIncomplete;
    return outcome;
}
