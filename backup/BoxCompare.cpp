#include "backup/BoxCompare.h"

#include "backup/BackupContents.h"
#include "backup/Sha256Sink.h"
#include "backup/WholeBoxReport.h"
#include "box/BoxSession.h"
#include "catalog/FileCatalog.h"

CompareOutcome BoxCompare::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                               const BackupContents& backup, WholeBoxReport& report,
                               const std::vector<std::string>& names, KeptCopies* kept) {
    CompareOutcome outcome;
    const auto onBox = [&](const std::string& name) {
        for (const wire::ListRecord& r : listed) {
            if (name == r.name) {
                return true;
            }
        }
        return false;
    };
    const auto asked = [&](const std::string& name) {
        for (const std::string& n : names) {
            if (n == name) {
                return true;
            }
        }
        return names.empty();
    };
    std::vector<const ManifestEntry*> files;  // each name once, in manifest order
    for (const ManifestEntry& e : backup.Entries().Entries()) {
        bool seen = !asked(e.name);
        for (const ManifestEntry* f : files) {
            seen = seen || f->name == e.name;
        }
        if (!seen) {
            files.push_back(&e);
        }
    }
    int index = 0;
    for (const ManifestEntry* e : files) {
        if (report.StopRequested()) {
            outcome.stopped = true;
            return outcome;
        }
        report.FileStarting(++index, static_cast<int>(files.size()), e->name);
        FileReport file{e->name, e->group, e->type};
        const ChecksumLine* sum = backup.Sums().Find(e->name);
        const auto fail = [&](const char* why) {
            file.result = FileResult::kFailed;
            file.message = why;
            ++outcome.failed;
            report.FileDone(file);
        };
        if (sum == nullptr) {
            fail("the backup holds no checksum for it");
            continue;
        }
        if (!onBox(e->name)) {
            file.result = FileResult::kMissingOnBox;
            ++outcome.missingOnBox;
            report.FileDone(file);
            continue;
        }
        if (outcome.linkLost) {
            fail("not tried, the link to the box was lost");
            continue;
        }
        Sha256Sink box;
        if (kept != nullptr && e->type == FileCatalog::kTextType) {
            box.KeepUpTo(kept->limit);
        }
        session.DumpTo(e->name.c_str(), box);
        if (session.LastOutcome() != TransferOutcome::kDone) {
            outcome.linkLost = session.LinkLost();
            fail("the box's copy could not be read");
            continue;
        }
        file.size = box.Size();
        file.sha256 = box.Hex();
        const bool same = box.Hex() == sum->hex;
        file.result = same ? FileResult::kSame : FileResult::kDiffers;
        ++(same ? outcome.same : outcome.differs);
        if (!same && box.Kept()) {
            kept->bytes[e->name] = box.TakeKept();
        }
        report.FileDone(file);
    }
    if (!names.empty()) {
        return outcome;
    }
    std::vector<std::string> extra;
    for (const wire::ListRecord& r : listed) {
        bool known = backup.Entries().Find(r.name) != nullptr;
        for (const std::string& x : extra) {
            known = known || x == r.name;
        }
        if (!known) {
            extra.push_back(r.name);
            FileReport file{r.name, r.group, r.type};
            file.result = FileResult::kOnlyOnBox;
            ++outcome.onlyOnBox;
            report.FileDone(file);
        }
    }
    return outcome;
}
