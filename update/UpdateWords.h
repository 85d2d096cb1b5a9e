#pragma once
// The one table of an update's words: each step's name and title, each
// result's name, whether it is a failure, and its sentence for people, with
// the outcome's details put in. Every front (velqo-cli's lines and JSON, a
// window's status lines) takes them from here.
#include <filesystem>
#include <string>

#include "update/UpdateOutcome.h"

struct StepWords {
    UpdateStep step;
    const char* json;   // "check", "send", "wait", ...: stable
    const char* title;  // "check", "send", "wait for the box", ...
    // What the box holds when the update stops before this step.
    const char* stoppedBefore;
};

struct ResultWords {
    StepResult result;
    const char* json;  // "checked", "box-failed", ...: stable
    bool failure;      // the update cannot go on
    // With {file}, {folder}, {why}, {names}, {args}, {seconds}, {count},
    // {factory} and {step} for the outcome's details.
    const char* text;
};

const StepWords& WordsOf(UpdateStep step);
const ResultWords& WordsOf(StepResult result);
bool IsFailure(StepResult result);

// The outcome for a person. A backup folder is shown in `shownStore` (as
// the user named the store) when given, else as the outcome holds it.
std::string OutcomeText(const StepOutcome& outcome, const std::filesystem::path& shownStore = {});
// "waiting for the box: 40 s of 300"
std::string WaitingText(int seconds, int bound);
