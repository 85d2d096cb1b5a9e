#pragma once
// A backups operation's progress, told on its worker thread, posted into the
// window's mailbox as calls of `shown`, which the window's thread runs: the
// backups side's own payload, which the mailbox does not know.
#include "ui/flow/BackupsFlow.h"
#include "ui/flow/WorkerMailbox.h"

class PostedProgress : public BackupsProgress {
public:
    // `shown` is called on the window's thread only; neither is owned.
    PostedProgress(WorkerMailbox& mailbox, BackupsProgress& shown)
        : m_mailbox(mailbox), m_shown(shown) {}

    void OverallChanged(int percent) override;
    void FileStarting(int index, int count, const std::string& name) override;
    void FileRowChanged(int row, const FileStateRow& file) override;

private:
    WorkerMailbox& m_mailbox;
    BackupsProgress& m_shown;
};
