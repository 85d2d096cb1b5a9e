#pragma once
// A backups operation's progress, told on its worker thread, posted as it is
// into the window's mailbox.
#include "ui/flow/BackupsFlow.h"
#include "ui/flow/WorkerMailbox.h"

class PostedProgress : public BackupsProgress {
public:
    explicit PostedProgress(WorkerMailbox& mailbox) : m_mailbox(mailbox) {}

    void OverallChanged(int percent) override;
    void FileStarting(int index, int count, const std::string& name) override;
    void FileRowChanged(int row, const FileStateRow& file) override;

private:
    WorkerMailbox& m_mailbox;  // not owned
};
