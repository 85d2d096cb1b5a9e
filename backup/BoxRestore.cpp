#include "backup/BoxRestore.h"

#include "backup/BackupContents.h"
#include "backup/CheckedUpload.h"
#include "backup/ReadBackVerifier.h"
#include "backup/RestorePlan.h"
#include "backup/WholeBoxReport.h"
#include "base/TextEscape.h"
#include "box/BoxSession.h"
#include "box/TransferText.h"

RestoreOutcome BoxRestore::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                               const BackupContents& backup, const RestorePlan& plan,
                               const RestoreOptions& options, WholeBoxReport& report) {
    RestoreOutcome outcome;
    const int count = static_cast<int>(plan.Files().size());
    int index = 0;
    for (const PlannedFile& p : plan.Files()) {
        if (report.StopRequested()) {
            outcome.stopped = true;
            break;
        }
        report.FileStarting(++index, count, p.name);
        FileReport file{p.name, p.group, p.type};
        const ChecksumLine* sum = backup.Sums().Find(p.name);
        file.sha256 = sum != nullptr ? sum->hex : "";
        // Held open from here to the send; its size is the open file's.
        CheckedUpload upload(backup.PathOf(p.name), file.sha256);
        file.size = upload.Size();
        const auto fail = [&](const std::string& why) {
            file.result = FileResult::kFailed;
            file.message = why;
            ++outcome.uploadFailed;
            outcome.failed = true;
            report.FileDone(file);
        };
        bool onBox = false;
        for (const wire::ListRecord& r : listed) {
            onBox = onBox || p.name == r.name;
        }
        if (!onBox) {
            file.result = FileResult::kSkipped;
            file.message = "the box no longer lists it";
            ++outcome.skipped;
            outcome.failed = outcome.failed || p.named;
            report.FileDone(file);
            continue;
        }
        if (p.unchanged) {
            file.result = FileResult::kUnchanged;
            ++outcome.unchanged;
            report.FileDone(file);
            continue;
        }
        if (!upload.IsOpen()) {
            fail(upload.Problem());
            continue;
        }
        if (options.dryRun && !p.notCompared.empty()) {
            fail("not compared with the box's copy: " + p.notCompared);
            continue;
        }
        if (options.dryRun) {
            file.result = FileResult::kWouldSend;
            ++outcome.sent;
            report.FileDone(file);
            continue;
        }
        if (outcome.linkLost || session.LinkLost()) {
            // Lost before this file, perhaps while comparing: the step that failed is named.
            outcome.linkLost = true;
            file.message = p.notCompared.empty()
                               ? "not tried, " + SessionEndText(session.LastOutcome())
                               : "not compared with the box's copy: " + p.notCompared;
            ++outcome.notTried;
            outcome.failed = true;
            report.FileDone(file);
            continue;
        }
        session.UploadFrom(p.name.c_str(), upload);
        if (session.LastOutcome() != TransferOutcome::kDone) {
            fail(session.LastOutcome() == TransferOutcome::kRefused
                     ? "refused by the box: \"" + QuoteForMessage(session.LastRefusal()) + "\""
                 : upload.Problem().empty() ? TransferFailureText(session.LastOutcome(), false)
                                            : upload.Problem());
            outcome.linkLost = session.LinkLost();
            continue;
        }
        ++outcome.sent;
        file.result = FileResult::kSent;
        if (options.verifier != nullptr) {
            file.verified = options.verifier->VerifyChecksum(session, p.name, file.sha256,
                                                             file.size, &file.message);
            outcome.failed = outcome.failed || file.verified != Verified::kYes;
            ++(file.verified == Verified::kYes  ? outcome.verified
               : file.verified == Verified::kNo ? outcome.verifyFailed
                                                : outcome.notVerified);
        }
        report.FileDone(file);
        outcome.linkLost = session.LinkLost();
    }
    if (outcome.linkLost) {
        outcome.linkEnd = SessionEndText(session.LastOutcome());
    }
    return outcome;
}
