#pragma once
// The git program run on one repository for the history's commits: on its
// .git folder named outright (never found from the current folder), with an
// index of the caller's (never the repository's own), the backup folder as
// the work tree, pathspecs taken literally, hooks, fsmonitor and commit
// signing off, and a time limit on every run. Its words come back escaped.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ChildProcess.h"

class GitCommand {
public:
    static constexpr const char* kProgram = "git";
    // No git run of a commit takes longer than this; one that does is stopped.
    static constexpr std::chrono::seconds kTimeLimit{120};

    // `noHooks`: an empty folder, read as the hooks' folder.
    GitCommand(std::filesystem::path gitDir, std::filesystem::path workTree,
               std::filesystem::path index, std::filesystem::path noHooks);

    // `git ARGS`; `environment`: "NAME=value" set for that run.
    ChildOutcome Run(const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {}) const;
    // It ran to its end in time, with status 0.
    static bool Succeeded(const ChildOutcome& run);
    // What went wrong with a run, for a message: "git WHAT: its words", on
    // one line with controls escaped, or that it did not start or was stopped.
    static std::string Failure(const std::string& what, const ChildOutcome& run);
    // The run's first line of output, its line end dropped ("HEAD"'s id, say).
    static std::string FirstLine(const ChildOutcome& run);

private:
    std::vector<std::string> options_;
    std::string index_;
};
