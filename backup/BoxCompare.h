#pragma once
// A backup compared with what the box holds now: each file of the backup read
// back from the box, in one session, straight into a SHA-256 (nothing is
// stored), and set against the backup's checksum.
#include <cstddef>
#include <map>
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

// The box's copies of the text files (the box's text type) that a compare
// found different, kept as it read them, so that they can be set beside the
// backup's without reading the box again.
struct KeptCopies {
    size_t limit = 0;                          // a larger copy is not kept
    std::map<std::string, std::string> bytes;  // by file name
};

class BoxCompare {
public:
    // `listed`: the box's list, in its order. Reports, in manifest order, one
    // of kSame, kDiffers (size and sha256 are the box's), kMissingOnBox or
    // kFailed per file of the backup; then kOnlyOnBox, in list order, for
    // each name the box lists that the backup does not hold. `names`: when
    // not empty, only these files of the backup, and nothing is kOnlyOnBox.
    // `kept`: when given, the box's copies of differing text files go there.
    static CompareOutcome Run(BoxSession& session, const std::vector<wire::ListRecord>& listed,
                              const BackupContents& backup, WholeBoxReport& report,
                              const std::vector<std::string>& names = {},
                              KeptCopies* kept = nullptr);
};
