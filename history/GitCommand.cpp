#include "history/GitCommand.h"

#include <utility>

#include "base/TextEscape.h"

namespace fs = std::filesystem;

GitCommand::GitCommand(fs::path gitDir, fs::path workTree, fs::path index, fs::path noHooks)
    : options_({"--git-dir=" + gitDir.string(), "--work-tree=" + workTree.string(),
                "--literal-pathspecs", "-c", "core.hooksPath=" + noHooks.string(), "-c",
                "core.fsmonitor=false", "-c", "commit.gpgSign=false"}),
      index_("GIT_INDEX_FILE=" + index.string()) {}

ChildOutcome GitCommand::Run(const std::vector<std::string>& args,
                             const std::vector<std::string>& environment) const {
    std::vector<std::string> all = options_;
    all.insert(all.end(), args.begin(), args.end());
    std::vector<std::string> settings = {index_};
    settings.insert(settings.end(), environment.begin(), environment.end());
    return ChildProcess::Run(kProgram, all, kTimeLimit, settings);
}

bool GitCommand::Succeeded(const ChildOutcome& run) {
    return run.started && !run.timedOut && run.status == 0;
}

std::string GitCommand::Failure(const std::string& what, const ChildOutcome& run) {
    if (run.notFound) {
        return "the git program is not installed (or not on PATH)";
    }
    std::string words = run.output;
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r')) {
        words.pop_back();
    }
    for (char& c : words) {
        c = c == '\n' || c == '\r' ? ' ' : c;
    }
    if (!run.started) {
        return "cannot start git: " + EscapeControls(words);
    }
    if (run.timedOut) {
        return "git " + EscapeControls(what) + " took longer than " +
               std::to_string(kTimeLimit.count()) + " s and was stopped";
    }
    return "git " + EscapeControls(what) + ": " + EscapeControls(words);
}

std::string GitCommand::FirstLine(const ChildOutcome& run) {
    std::string line = run.output.substr(0, run.output.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}
