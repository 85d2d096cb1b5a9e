#include "cli/CliInterruption.h"

#include <algorithm>

#include "base/ShellQuote.h"
#include "base/SignalCleanup.h"
#include "base/TextEscape.h"

namespace {

using Command = CliOptions::Command;

// Whether the name shows as it is, but for its backslashes (a Windows path's).
bool ShowsAsItIs(const std::string& name) {
    std::string bare = name;
    std::erase(bare, '\\');
    return EscapeControls(bare) == bare;
}

// As the user's shell reads it back; a name with controls cannot be typed,
// and is shown escaped.
std::string Quoted(const std::string& name) {
    if (!ShowsAsItIs(name)) {
        return QuoteForMessage(name);
    }
#ifdef _WIN32
    // cmd.exe and PowerShell: double quotes around blanks and their own signs.
    return name.find_first_of(" &|<>^'\"();,") == std::string::npos ? name : "\"" + name + "\"";
#else
    // '~' only at a word's start.
    const bool plain =
        name.find_first_of(" '\"$`\\;&|<>()*?[]#") == std::string::npos && name[0] != '~';
    return plain ? name : SingleQuoted(name);
#endif
}

}  // namespace

std::string CliInterruption::Text(const State& state) {
    const std::string counted = std::to_string(state.done) + " of " + std::to_string(state.total);
    if (state.command == Command::kBackup) {
        return "velqo-cli: interrupted: " + counted + " file(s) saved" +
               (state.folder.empty()
                    ? ""
                    : " in " + (ShowsAsItIs(state.folder) ? state.folder
                                                          : QuoteForMessage(state.folder))) +
               ", which stays INCOMPLETE; run velqo-cli backup again for a complete one\n";
    }
    if (state.command != Command::kPut && state.command != Command::kRestore) {
        return "";
    }
    std::string text = "velqo-cli: interrupted: " + counted + " file(s) sent; ";
    text += state.current.empty() ? "no file was being sent"
                                  : QuoteForMessage(state.current) + " may be half-sent on the box";
    if (state.command == Command::kRestore) {
        return text + "; run velqo-cli restore --changed-only " + Quoted(state.folder) + " again\n";
    }
    std::string names;
    for (const std::string& name : state.notDone) {
        names += " " + Quoted(name);
    }
    return text + "; run velqo-cli put" + names + " again\n";
}

CliInterruption::CliInterruption(State state, bool startOnNewLine)
    : state_(std::move(state)), startOnNewLine_(startOnNewLine) {
    Keep();
}

CliInterruption::~CliInterruption() {
    SignalCleanup::SetFarewell("");
}

void CliInterruption::Starting(const std::string& name) {
    state_.current = name;
    Keep();
}

void CliInterruption::Done(bool counted) {
    if (counted) {
        ++state_.done;
        auto& left = state_.notDone;
        const auto at = std::find(left.begin(), left.end(), state_.current);
        if (at != left.end()) {
            left.erase(at);
        }
    }
    state_.current.clear();
    Keep();
}

void CliInterruption::Keep() const {
    const std::string text = Text(state_);
    SignalCleanup::SetFarewell(text.empty() || !startOnNewLine_ ? text : "\n" + text);
}
