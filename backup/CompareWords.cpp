#include "backup/CompareWords.h"

namespace {

struct CountWords {
    int CompareOutcome::*count;
    const char* words;
};

constexpr CountWords kCounts[] = {
    {&CompareOutcome::same, "same"},
    {&CompareOutcome::differs, "differ"},
    {&CompareOutcome::missingOnBox, "missing on the box"},
    {&CompareOutcome::onlyOnBox, "only on the box"},
    {&CompareOutcome::failed, "failed"},
};

}  // namespace

std::string CompareWords::Counts(const CompareOutcome& outcome) {
    std::string text;
    for (const CountWords& c : kCounts) {
        text += (text.empty() ? "" : ", ") + std::to_string(outcome.*c.count) + " " + c.words;
    }
    return text;
}

std::string CompareWords::Summary(const CompareOutcome& outcome, const std::string& shownBackup) {
    return "compared with " + shownBackup + ": " + Counts(outcome) +
           (outcome.stopped ? "; stopped, the others were not compared" : "");
}
