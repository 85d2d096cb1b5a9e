#pragma once
// A firmware update with a safety net, as one sequence of steps (see
// UpdateStep): check the file and the box and make a complete, checked
// backup; send the file and follow the box's processing; wait for the box
// to come back; compare it with the backup; put back the changed files of
// the groups the user keeps; back up again. Each step's outcome is reported
// as it ends, and the update can be stopped between steps. Nothing of the
// user's is changed but for the new backups: the firmware file is only
// read, the store only gains folders.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "box/WireFormat.h"
#include "update/BoxReturn.h"
#include "update/UpdateOutcome.h"

class BackupContents;
class BoxSession;
class UpdateReport;

struct UpdateRequest {
    static constexpr int kDefaultWaitSeconds = 300;
    static constexpr int kRetryMs = 2000;

    std::filesystem::path firmware;       // the local file; the box knows it by its file name
    std::vector<std::string> keepGroups;  // the box's groups whose changed files go back
    int waitSeconds = kDefaultWaitSeconds;
    int retryMs = kRetryMs;  // between two tries to reach the box again
    bool dryRun = false;     // check and back up, send nothing
    bool backupAfter = true;
};

class FirmwareUpdate {
public:
    // `store`: the backup store's folder; `box`: the box as the store names
    // it; `link`: how to reach it again after its restart; `workArea`: where
    // a read-back may keep its temporary folder.
    FirmwareUpdate(UpdateRequest request, std::filesystem::path store, BackupBox box, BoxLink link,
                   std::filesystem::path workArea);

    // `session`: logged in, `listed` its list. Afterwards the session is
    // logged in again when the box came back.
    UpdateOutcome Run(BoxSession& session, std::vector<wire::ListRecord> listed,
                      UpdateReport& report) const;

private:
    // Each step adds its outcome; false when the update cannot go on.
    bool Check(BoxSession& session, const std::vector<wire::ListRecord>& listed,
               BackupContents* before, UpdateReport& report, UpdateOutcome* out) const;
    bool Send(BoxSession& session, UpdateReport& report, UpdateOutcome* out) const;
    bool Compare(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                 const BackupContents& before, UpdateReport& report, UpdateOutcome* out) const;
    bool PutBack(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                 const BackupContents& before, UpdateReport& report, UpdateOutcome* out) const;
    bool BackUpAgain(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                     UpdateReport& report, UpdateOutcome* out) const;
    // The name the box knows the firmware file by.
    std::string BoxName() const;

    UpdateRequest request_;
    std::filesystem::path store_;
    BackupBox box_;
    BoxLink link_;
    std::filesystem::path workArea_;
};
