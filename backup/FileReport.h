#pragma once
// What happened to one file of a whole-box operation, as data: the command
// line prints it, a window shows it, a machine-readable output is made from it.
#include <cstdint>
#include <string>

enum class FileResult {
    kSaved,         // fetched from the box and written here (backup, get)
    kFailed,        // did not happen; `message` says why
    kSkipped,       // left out on purpose (restore: the box no longer lists it)
    kSent,          // uploaded to the box (restore, put)
    kWouldSend,     // restore, dry run: would be uploaded
    kUnchanged,     // restore: not sent, the box holds the same bytes
    kSame,          // compare: the box holds the backup's bytes
    kDiffers,       // compare: the box holds other bytes
    kMissingOnBox,  // compare: in the backup, but the box does not list it
    kOnlyOnBox,     // compare: the box lists it, the backup does not hold it
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

// The words of one result: every front takes them from the one table.
struct FileResultWords {
    FileResult result;
    const char* json;   // lower-case, stable: machine-readable output and result lines
    const char* shown;  // for a person in a window
    bool failure;       // the file's part of the work did not happen
};

const FileResultWords& WordsOf(FileResult result);
// "saved", "would-send", "missing-on-box"...
const char* FileResultName(FileResult result);
bool IsFailure(FileResult result);
// Also an upload whose read-back found other bytes.
bool IsFailure(const FileReport& file);
// The window's word, which tells a read-back's verdict for what was sent.
const char* ShownWord(const FileReport& file);
