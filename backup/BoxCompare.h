#pragma once
// A backup compared with what the box holds now: each file of the backup read
// back from the box, in one session, straight into a SHA-256 (nothing is
// stored), and set against the backup's checksum.
#include <string>
#include <vector>

#include "box/WireFormat.h"

class BackupContents;
class BoxSession;
class WholeBoxReport;

struct CompareOutcome {
    int same = 0;
    int differs = 0;
    int missingOnBox = 0;
    int onlyOnBox = 0;
    int failed = 0;
    bool linkLost = false;
    bool stopped = false;  // the front asked to stop before every file was compared

    bool AllSame() const { return differs + missingOnBox + onlyOnBox + failed == 0; }
};

class BoxCompare {
public:
    // `listed`: the box's list, in its order. Reports, in manifest order, one
    // of kSame, kDiffers (size and sha256 are the box's), kMissingOnBox or
    // kFailed per file of the backup; then kOnlyOnBox, in list order, for
    // each name the box lists that the backup does not hold. `names`: when
    // not empty, only these files of the backup, and nothing is kOnlyOnBox.
    static CompareOutcome Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                              const BackupContents& backup, WholeBoxReport& report,
                              const std::vector<std::string>& names = {});
};
