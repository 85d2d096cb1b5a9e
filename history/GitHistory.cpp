#include "history/GitHistory.h"

#include <system_error>
#include <utility>

#include "backup/BackupFolder.h"
#include "backup/StoreLock.h"
#include "base/AsciiCase.h"
#include "base/ChildProcess.h"
#include "base/RegularFile.h"
#include "base/TextEscape.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

// git's own words, on one line.
std::string OneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    for (char& c : text) {
        c = c == '\n' || c == '\r' ? ' ' : c;
    }
    return text;
}

// The files git obeys in any folder of a working tree even when adding by
// force, in any letter case (git folds case where the file system does).
bool IsGitsOwnName(const std::string& name) {
    const std::string lower = AsciiLower(name);
    return lower == ".git" || lower == ".gitattributes";
}

}  // namespace

GitHistory::GitHistory(fs::path repository, std::vector<std::string> excludedGroups)
    : repository_(std::move(repository)), excludedGroups_(std::move(excludedGroups)) {}

bool GitHistory::CopyFiles(const fs::path& folder, const fs::path& into, std::string* why) const {
    Manifest manifest;
    if (!Manifest::Load((folder / BackupFolder::kManifestName).string(), &manifest, why)) {
        return false;
    }
    // A file listed in an excluded group stays out, whatever other group lists it.
    const auto excluded = [&](const std::string& name) {
        for (const ManifestEntry& e : manifest.Entries()) {
            for (const std::string& group : excludedGroups_) {
                if (e.name == name && e.group == group) {
                    return true;
                }
            }
        }
        return false;
    };
    std::vector<std::string> names = {BackupFolder::kManifestName};
    for (const ManifestEntry& e : manifest.Entries()) {
        bool listed = false;
        for (const std::string& n : names) {
            listed = listed || n == e.name;
        }
        if (listed || excluded(e.name)) {
            continue;
        }
        // git would take such a file for its own: a .gitattributes could
        // change the bytes it keeps, a .git make the folder another
        // repository. Refused before anything in the repository changes.
        if (IsGitsOwnName(e.name)) {
            *why = "the box's file '" + QuoteForMessage(e.name) +
                   "' would be read by git as its own; leave its group out";
            return false;
        }
        names.push_back(e.name);
    }
    std::error_code ec;
    if (fs::symlink_status(into, ec).type() == fs::file_type::symlink) {
        *why = into.string() + " is a symbolic link, not the box's folder";
        return false;
    }
    // What the box no longer has goes from its folder too, but only files,
    // all that a commit ever puts there: a folder inside (a backup store
    // given the box's name, say) was not written here, and nothing goes.
    std::vector<fs::path> old;
    for (fs::directory_iterator it(into, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->symlink_status(ec).type() != fs::file_type::regular) {
            *why = "'" + QuoteForMessage(it->path().string()) +
                   "' is not a file a commit put there; nothing was removed";
            return false;
        }
        old.push_back(it->path());
    }
    if (ec && ec != std::errc::no_such_file_or_directory) {
        *why = "cannot read '" + QuoteForMessage(into.string()) + "': " + ec.message();
        return false;
    }
    for (const fs::path& file : old) {
        if (!fs::remove(file, ec) && ec) {
            *why = "cannot remove '" + QuoteForMessage(file.string()) + "': " + ec.message();
            return false;
        }
    }
    ec.clear();
    fs::create_directories(into, ec);
    if (ec) {
        *why = "cannot make " + into.string() + ": " + ec.message();
        return false;
    }
    for (const std::string& name : names) {
        // Only the backup's own regular files, never through a link.
        if (KindOfFile(folder / name, LinkRule::kRefuse) != FileKind::kRegular ||
            !fs::copy_file(folder / name, into / name, fs::copy_options::overwrite_existing, ec)) {
            *why = "cannot copy " + (folder / name).string() + (ec ? ": " + ec.message() : "");
            return false;
        }
    }
    return true;
}

GitOutcome GitHistory::Commit(const fs::path& folder, const BackupName& name,
                              const std::string& message) const {
    GitOutcome outcome;
    const std::string repository = repository_.string();
    const auto git = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-C", repository});
        return ChildProcess::Run(kProgram, args);
    };
    const auto failed = [&](const std::string& what, const ChildOutcome& run) {
        outcome.why = what + ": " + OneLine(run.output);
        return outcome;
    };
    // The lock first, in the .git folder that git init fills (git init
    // itself does not bear two runs at once).
    std::error_code ec;
    fs::create_directories(repository_ / ".git", ec);
    StoreLock lock;
    if (!lock.Acquire(repository_ / ".git" / kLockName, kLockWaitSeconds, &outcome.why)) {
        return outcome;
    }
    ChildOutcome run = git({"init", "-q"});
    if (!run.started) {
        outcome.status = run.notFound ? GitOutcome::Status::kNoGit : GitOutcome::Status::kFailed;
        outcome.why = run.notFound ? "the git program is not installed (or not on PATH)"
                                   : "cannot start git: " + OneLine(run.output);
        return outcome;
    }
    if (run.status != 0) {
        return failed("git init " + repository, run);
    }
    const std::string box = name.box.Stem();
    // The box's folder is one plain name inside the repository, whatever
    // name the box was given; never a dot name (".", "..", ".git",
    // ".gitignore"), which git or the user owns and the copy would replace.
    if (box.empty() || box.front() == '.') {
        outcome.why = "'" + box + "' cannot name a folder of the repository";
        return outcome;
    }
    if (!CopyFiles(folder, repository_ / box, &outcome.why)) {
        return outcome;
    }
    // Forced: ignore rules of the repository or the user's own (a "*.db")
    // never keep one of the box's files out of its history.
    if (run = git({"add", "-A", "--force", "--", box}); run.status != 0) {
        return failed("git add", run);
    }
    run = git({"diff", "--cached", "--quiet", "--", box});
    if (run.status == 0) {
        outcome.status = GitOutcome::Status::kUnchanged;
        return outcome;
    }
    std::vector<std::string> commit = {
        "commit",   "-q",
        "--author", std::string(kAuthorName) + " <" + kAuthorEmail + ">",
        "--date",   name.TakenText(),
        "-m",       message,
        "--",       box};
    if (git({"config", "user.email"}).status != 0) {
        commit.insert(commit.begin(), {"-c", std::string("user.name=") + kAuthorName, "-c",
                                       std::string("user.email=") + kAuthorEmail});
    }
    if (run = git(commit); run.status != 0) {
        return failed("git commit", run);
    }
    run = git({"rev-parse", "--short", "HEAD"});
    outcome.commit = OneLine(run.output);
    outcome.status = GitOutcome::Status::kCommitted;
    return outcome;
}
