#pragma once
// A backup: every file the box lists downloaded, in one session, into a new
// backup folder (see BackupFolder). A file that fails leaves the others
// saved; once the link is lost the rest are reported as not tried.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "box/WireFormat.h"

class BoxSession;
class WholeBoxReport;

struct BackupOutcome {
    enum class Status {
        kComplete,    // every listed file saved
        kIncomplete,  // the folder exists, INCOMPLETE names what is missing
        kNoFolder,    // the folder could not be made; nothing was downloaded
        kNotStarted,  // INCOMPLETE could not be written first; nothing was downloaded
    };
    Status status = Status::kNoFolder;
    std::filesystem::path folder;  // the backup folder; empty with kNoFolder
    std::string why;               // kNoFolder: the system's reason, possibly empty
    // Not empty when the box's list reply was malformed (a count outside
    // 0..28): the backup is then never complete.
    std::string listProblem;
    size_t saved = 0;
    size_t listed = 0;     // distinct names the box listed
    bool stopped = false;  // the front asked to stop: the files not reached are not saved
    // The backup's own files that could not be written; the backup is then
    // kIncomplete, or kNotStarted when INCOMPLETE could not be written first.
    std::vector<std::filesystem::path> unwritten;
};

class BoxBackup {
public:
    // `into`: the backup store's folder, where the backup folder is made.
    // `box`: the box backed up, part of the folder's name.
    BoxBackup(std::filesystem::path into, BackupBox box);

    // `listed`: the box's list, in its order, as the session's last
    // ListFiles gave it (whose count the session keeps). Reports kSaved or
    // kFailed per distinct name, in list order; kSaved only once SHA256SUMS
    // and the manifest on disk list the file, and a file they cannot list is
    // removed again, so that the report, `saved` and INCOMPLETE agree.
    BackupOutcome Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                      WholeBoxReport& report);
    // Makes the backup folder now, before the box is reached, so that no
    // box waits while the store's lock is waited for; Run then fills it.
    // False and why (possibly empty) when it cannot be made.
    bool MakeFolderFirst(std::string* why);
    // The folder MakeFolderFirst made; empty before.
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path into_;
    BackupBox box_;
    std::filesystem::path folder_;
};
