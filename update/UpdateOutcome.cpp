#include "update/UpdateOutcome.h"

#include "update/UpdateWords.h"

const StepOutcome* UpdateOutcome::Failure() const {
    for (const StepOutcome& step : steps) {
        if (IsFailure(step.result)) {
            return &step;
        }
    }
    return nullptr;
}
