#include "ui/flow/PostedProgress.h"

void PostedProgress::OverallChanged(int percent) {
    m_mailbox.Post(WorkerEvent::Call([this, percent] { m_shown.OverallChanged(percent); }));
}

void PostedProgress::FileStarting(int index, int count, const std::string& name) {
    m_mailbox.Post(WorkerEvent::Call(
        [this, index, count, name] { m_shown.FileStarting(index, count, name); }));
}

void PostedProgress::FileRowChanged(int row, const FileStateRow& file) {
    m_mailbox.Post(WorkerEvent::Call([this, row, file] { m_shown.FileRowChanged(row, file); }));
}
