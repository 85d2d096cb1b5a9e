#pragma once
// A restore: a checked backup's planned files uploaded to the box in plan
// order, in one session. Files the box no longer lists are skipped; once the
// link is lost nothing more is tried, and each file left is reported failed,
// as not tried.
#include <cstddef>
#include <string>
#include <vector>

#include "box/WireFormat.h"

class BackupContents;
class BoxSession;
class ReadBackVerifier;
class RestorePlan;
class WholeBoxReport;

struct RestoreOptions {
    bool dryRun = false;                   // report kWouldSend, send nothing
    ReadBackVerifier* verifier = nullptr;  // read each upload back; null: no
};

struct RestoreOutcome {
    int sent = 0;  // with a dry run: that would be sent
    int skipped = 0;
    int unchanged = 0;
    int uploadFailed = 0;  // not sent, or not sent whole: see the file's message
    int notTried = 0;      // after the link was lost, each counted here, not as failed
    // With a verifier, of those sent: read back and found equal, found
    // different, or not read back or compared.
    int verified = 0;
    int verifyFailed = 0;
    int notVerified = 0;
    bool failed = false;    // a transfer or read-back failed, or a named file was skipped
    bool linkLost = false;  // stopped early: the link is gone
    bool stopped = false;   // the front asked to stop: the files not reached are not sent
    std::string linkEnd{};  // why the link is gone, for a person; empty while it holds
};

class BoxRestore {
public:
    // `listed`: the box's list, in its order. Reports, per planned
    // file in order: kSent (with `verified` when a verifier is given),
    // kWouldSend, kUnchanged, kSkipped or kFailed (a box's refusal with its
    // text). Only the backup folder's own regular files are sent, and only
    // the bytes whose checksum the backup's check found (see CheckedUpload);
    // a read-back is compared with that checksum. A dry run fails a file
    // that the plan could not compare with the box's copy.
    static RestoreOutcome Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                              const BackupContents& backup, const RestorePlan& plan,
                              const RestoreOptions& options, WholeBoxReport& report);
};
