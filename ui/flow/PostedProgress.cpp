#include "ui/flow/PostedProgress.h"

void PostedProgress::OverallChanged(int percent) {
    mailbox_.Post({WorkerEvent::Kind::kOverall, percent});
}

void PostedProgress::FileStarting(int index, int count, const std::string& name) {
    mailbox_.Post({WorkerEvent::Kind::kFile, index, count, name});
}

void PostedProgress::FileRowChanged(int row, const FileStateRow& file) {
    mailbox_.Post({WorkerEvent::Kind::kFileRow, row, 0, "", file});
}
