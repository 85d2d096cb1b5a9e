#include "backup/FileReport.h"

namespace {

constexpr FileResultWords kWords[] = {
    {FileResult::kSaved, "saved", "saved", false},
    {FileResult::kFailed, "failed", "failed", true},
    {FileResult::kSkipped, "skipped", "missing on the box", false},
    {FileResult::kSent, "sent", "sent", false},
    {FileResult::kWouldSend, "would-send", "would send", false},
    {FileResult::kUnchanged, "unchanged", "unchanged", false},
    {FileResult::kSame, "same", "same", false},
    {FileResult::kDiffers, "differs", "differs", false},
    {FileResult::kMissingOnBox, "missing-on-box", "missing on the box", false},
    {FileResult::kOnlyOnBox, "only-on-box", "only on the box", false},
    {FileResult::kRefused, "refused", "refused", true},
};

constexpr const char* kVerifiedWord = "verified";

}  // namespace

const FileResultWords& WordsOf(FileResult result) {
    for (const FileResultWords& w : kWords) {
        if (w.result == result) {
            return w;
        }
    }
    return kWords[1];  // a value outside the enum: nothing is known to have happened
}

const char* FileResultName(FileResult result) {
    return WordsOf(result).json;
}

bool IsFailure(FileResult result) {
    return WordsOf(result).failure;
}

bool IsFailure(const FileReport& file) {
    return IsFailure(file.result) || file.verified == Verified::kNo;
}

const char* ShownWord(const FileReport& file) {
    if (file.verified == Verified::kNo) {
        return WordsOf(FileResult::kFailed).shown;
    }
    return file.result == FileResult::kSent && file.verified == Verified::kYes
               ? kVerifiedWord
               : WordsOf(file.result).shown;
}
