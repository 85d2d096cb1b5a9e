#include "history/DiffWords.h"

std::string DiffWords::NoLines(const FileDifference& file) {
    if (file.state == DiffState::kFailed) {
        return file.problem;
    }
    if (file.state != DiffState::kChanged) {
        return FileDiff::StateWord(file.state);
    }
    if (file.text && !file.tooDifferent) {
        return "";
    }
    return std::string(file.tooDifferent ? "too different to show line by line" : "binary") + ": " +
           std::to_string(file.oldSize) + " -> " + std::to_string(file.newSize) +
           " bytes, first difference at byte " + std::to_string(file.firstDifference);
}
