#include "ui/flow/PostedProgress.h"

void PostedProgress::OverallChanged(int percent) {
    m_mailbox.Post({WorkerEvent::Kind::kOverall, percent});
}

void PostedProgress::FileStarting(int index, int count, const std::string& name) {
    m_mailbox.Post({WorkerEvent::Kind::kFile, index, count, name});
}

void PostedProgress::FileRowChanged(int row, const FileStateRow& file) {
    m_mailbox.Post({WorkerEvent::Kind::kFileRow, row, 0, "", file});
}
