#include "box/TransferText.h"

std::string TransferFailureText(TransferOutcome outcome, bool download) {
    switch (outcome) {
        case TransferOutcome::kBadName:
            return "not a plain file name";
        case TransferOutcome::kRefused:
            return "the box refused it";
        case TransferOutcome::kLinkFailed:
            return download ? "the download failed, the link to the box was lost"
                            : "the upload failed, the link to the box was lost";
        case TransferOutcome::kLocalFailed:
            return download ? "the local file cannot be written" : "the local file cannot be read";
        case TransferOutcome::kBoxFailed:
            return "the box reported a failure after the upload";
        case TransferOutcome::kDone:
            break;
    }
    return "";
}

std::string SessionEndText(TransferOutcome outcome) {
    // The session ends after these, though the link itself held.
    switch (outcome) {
        case TransferOutcome::kBoxFailed:
            return "the box reported a failure after an upload and the session ended";
        case TransferOutcome::kLocalFailed:
            return "the session ended when a local file could not be read";
        default:
            break;
    }
    return "the link to the box was lost";
}
