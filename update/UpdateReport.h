#pragma once
// How an update tells its front what it does as it goes: each step as it
// starts and ends, the wait for the box, and the files of its backups,
// compare and put-back (WholeBoxReport: they belong to the step last
// started). Its StopRequested is asked between files, between steps and
// between tries to reach the box. The box's processing messages come as the
// session's log lines, and in the outcome.
#include "backup/WholeBoxReport.h"
#include "update/UpdateOutcome.h"

class UpdateReport : public WholeBoxReport {
public:
    virtual void StepStarting(UpdateStep /*step*/) {}
    virtual void StepDone(const StepOutcome& outcome) = 0;
    // After each try to reach the box again: `seconds` waited so far of `bound`.
    virtual void Waiting(int /*seconds*/, int /*bound*/) {}
};
