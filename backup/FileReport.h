#pragma once
// What happened to one file of a whole-box operation, as data: the command
// line prints it, a window shows it, a machine-readable output is made from it.
#include <cstdint>
#include <string>

enum class FileResult {
    kSaved,         // backup: downloaded into the backup folder
    kFailed,        // did not happen; `message` says why
    kSkipped,       // left out on purpose (restore: the box no longer lists it)
    kSent,          // restore: uploaded
    kWouldSend,     // restore, dry run: would be uploaded
    kUnchanged,     // restore: not sent, the box holds the same bytes
    kSame,          // compare: the box holds the backup's bytes
    kDiffers,       // compare: the box holds other bytes
    kMissingOnBox,  // compare: in the backup, but the box does not list it
    kOnlyOnBox,     // compare: the box lists it, the backup does not hold it
    kDownloaded,    // one file fetched from the box (velqo-cli get)
    kUploaded,      // one file sent to the box (velqo-cli put)
    kRefused,       // the box refused the request
};

// Whether an upload was read back and found equal.
enum class Verified { kUnknown, kYes, kNo };

struct FileReport {
    std::string name{};
    std::string group{};  // empty when not known
    int32_t type = 0;
    int64_t size = -1;     // bytes; -1 when not known
    std::string sha256{};  // lower-case hex; empty when not known
    FileResult result = FileResult::kFailed;
    Verified verified = Verified::kUnknown;
    // For a person, without the file's name: why it failed or was skipped,
    // or what a read-back found. Empty when there is nothing to add.
    std::string message{};
};

// One lower-case word per result ("saved", "would-send", "missing-on-box"...),
// stable for machine-readable output.
const char* FileResultName(FileResult result);
const char* VerifiedName(Verified verified);
