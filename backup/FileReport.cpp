#include "backup/FileReport.h"

const char* FileResultName(FileResult result) {
    switch (result) {
        case FileResult::kSaved:
            return "saved";
        case FileResult::kFailed:
            return "failed";
        case FileResult::kSkipped:
            return "skipped";
        case FileResult::kSent:
            return "sent";
        case FileResult::kWouldSend:
            return "would-send";
        case FileResult::kUnchanged:
            return "unchanged";
        case FileResult::kSame:
            return "same";
        case FileResult::kDiffers:
            return "differs";
        case FileResult::kMissingOnBox:
            return "missing-on-box";
        case FileResult::kOnlyOnBox:
            return "only-on-box";
        case FileResult::kDownloaded:
            return "downloaded";
        case FileResult::kUploaded:
            return "uploaded";
        case FileResult::kRefused:
            return "refused";
    }
    return "failed";
}

const char* VerifiedName(Verified verified) {
    switch (verified) {
        case Verified::kYes:
            return "yes";
        case Verified::kNo:
            return "no";
        case Verified::kUnknown:
            break;
    }
    return "unknown";
}
