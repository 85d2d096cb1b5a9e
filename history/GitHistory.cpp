#include "history/GitHistory.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "backup/BackupFolder.h"
#include "backup/StoreLock.h"
#include "base/AsciiCase.h"
#include "base/RegularFile.h"
#include "base/TextEscape.h"
#include "catalog/Manifest.h"
#include "history/GitCommand.h"

namespace fs = std::filesystem;

namespace {

// The files git obeys in any folder of a tree (a .gitattributes would change
// how a checkout writes the box's files, a .git is refused by git), in any
// letter case (git folds case where the file system does).
bool IsGitsOwnName(const std::string& name) {
    const std::string lower = AsciiLower(name);
    return lower == ".git" || lower == ".gitattributes";
}

// The fields of git's -z output, each ended by a NUL.
std::vector<std::string> Fields(const std::string& output) {
    std::vector<std::string> fields;
    for (size_t at = 0; at < output.size();) {
        const size_t end = std::min(output.find('\0', at), output.size());
        fields.push_back(output.substr(at, end - at));
        at = end + 1;
    }
    return fields;
}

struct TreeEntry {
    std::string mode;
    std::string type;
    std::string id;
    std::string path;
};

// `git ls-tree -z`: "MODE TYPE ID<TAB>PATH" per field.
std::vector<TreeEntry> TreeEntries(const std::string& output) {
    std::vector<TreeEntry> entries;
    for (const std::string& field : Fields(output)) {
        const size_t tab = field.find('\t');
        const size_t first = field.find(' ');
        const size_t second = field.find(' ', first + 1);
        if (tab != std::string::npos && second < tab) {
            entries.push_back({field.substr(0, first), field.substr(first + 1, second - first - 1),
                               field.substr(second + 1, tab - second - 1), field.substr(tab + 1)});
        }
    }
    return entries;
}

// `git diff-tree -z --name-status`: a status letter, then the path, for the
// paths inside the folder `prefix`.
std::vector<FileChange> Changes(const std::string& output, const std::string& prefix) {
    std::vector<FileChange> changes;
    const std::vector<std::string> fields = Fields(output);
    for (size_t k = 0; k + 1 < fields.size(); k += 2) {
        if (fields[k].empty() || fields[k + 1].rfind(prefix, 0) != 0) {
            continue;
        }
        const char status = fields[k].front();
        changes.push_back({fields[k + 1].substr(prefix.size()), status == 'A' ? DiffState::kAdded
                                                                : status == 'D'
                                                                    ? DiffState::kRemoved
                                                                    : DiffState::kChanged});
    }
    return changes;
}

// A file removed when the object is made and when it goes: the private
// index, which no run finds from another.
class FreshFile {
public:
    explicit FreshFile(fs::path path) : path_(std::move(path)) { Remove(); }
    ~FreshFile() { Remove(); }
    FreshFile(const FreshFile&) = delete;
    FreshFile& operator=(const FreshFile&) = delete;

private:
    void Remove() {
        std::error_code ec;
        fs::remove(path_, ec);
    }
    fs::path path_;
};

std::string NotFromABackup(const std::string& path) {
    return "the repository's '" + QuoteForMessage(path) +
           "' is not a file a backup of the box put there; nothing was committed";
}

// The files in the box's folder `box` of the commit `parent`, which must all
// be files its backups put there (listed in the manifest beside them): a
// user's own file there would go from the branch with the next commit.
// `*first`: the folder is not there yet.
bool OldFiles(const GitCommand& git, const std::string& parent, const std::string& box,
              std::vector<std::string>* names, bool* first, std::string* why) {
    ChildOutcome run = git.Run({"ls-tree", "-z", "-r", "-t", parent, "--", box});
    if (!GitCommand::Succeeded(run)) {
        *why = GitCommand::Failure("ls-tree", run);
        return false;
    }
    std::string manifestId;
    for (const TreeEntry& e : TreeEntries(run.output)) {
        if (e.path == box) {
            *first = false;
            if (e.type != "tree") {
                *why = "the repository's '" + QuoteForMessage(box) +
                       "' is not a folder; nothing was committed";
                return false;
            }
            continue;
        }
        const std::string name = e.path.substr(box.size() + 1);
        if (e.type != "blob" || (e.mode != "100644" && e.mode != "100755") ||
            name.find('/') != std::string::npos) {
            *why = NotFromABackup(e.path);
            return false;
        }
        manifestId = name == BackupFolder::kManifestName ? e.id : manifestId;
        names->push_back(name);
    }
    Manifest manifest;
    if (!manifestId.empty()) {
        run = git.Run({"cat-file", "blob", manifestId});
        if (!GitCommand::Succeeded(run)) {
            *why = GitCommand::Failure("cat-file", run);
            return false;
        }
        std::string unreadable;
        Manifest::Parse(run.output, &manifest, &unreadable);
    }
    for (const std::string& name : *names) {
        if (name != BackupFolder::kManifestName && manifest.Find(name) == nullptr) {
            *why = NotFromABackup(box + "/" + name);
            return false;
        }
    }
    return true;
}

}  // namespace

GitHistory::GitHistory(fs::path repository, std::vector<std::string> excludedGroups)
    : repository_(std::move(repository)), excludedGroups_(std::move(excludedGroups)) {}

bool GitHistory::NamesToCommit(const fs::path& folder, std::vector<std::string>* names,
                               std::string* why) const {
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
    *names = {BackupFolder::kManifestName};
    for (const ManifestEntry& e : manifest.Entries()) {
        if (std::find(names->begin(), names->end(), e.name) != names->end() || excluded(e.name)) {
            continue;
        }
        if (IsGitsOwnName(e.name)) {
            *why = "the box's file '" + QuoteForMessage(e.name) +
                   "' would be read by git as its own; leave its group out";
            return false;
        }
        names->push_back(e.name);
    }
    for (const std::string& name : *names) {
        // Only the backup's own regular files, never through a link.
        if (KindOfFile(folder / name, LinkRule::kRefuse) != FileKind::kRegular) {
            *why = "'" + QuoteForMessage((folder / name).string()) + "' is not a regular file";
            return false;
        }
    }
    return true;
}

std::string GitHistory::Message(const std::string& box, bool first,
                                std::vector<FileChange> changes) {
    if (first) {
        return box + ": " + BackupChanges::kFirst;
    }
    // The manifest changes whenever the list of files does.
    if (changes.size() > 1) {
        std::erase_if(changes,
                      [](const FileChange& c) { return c.name == BackupFolder::kManifestName; });
    }
    std::stable_sort(changes.begin(), changes.end(), [](const FileChange& a, const FileChange& b) {
        return a.state < b.state;  // changed, added, removed, as the summary has them
    });
    std::string message = box + ": " + BackupChanges::Summary(changes);
    if (!changes.empty()) {
        message += "\n";
        for (const FileChange& c : changes) {
            message +=
                "\n" + std::string(FileDiff::StateWord(c.state)) + " " + EscapeControls(c.name);
        }
    }
    return message;
}

GitOutcome GitHistory::Commit(const fs::path& folder, const BackupName& name) const {
    GitOutcome outcome;
    const fs::path gitDir = repository_ / ".git";
    // The lock first, in the .git folder that git init fills (git init
    // itself does not bear two runs at once).
    std::error_code ec;
    fs::create_directories(gitDir, ec);
    StoreLock lock;
    if (!lock.Acquire(gitDir / kLockName, kLockWaitSeconds, &outcome.why)) {
        return outcome;
    }
    const fs::path noHooks = gitDir / kNoHooksName;
    fs::create_directory(noHooks, ec);
    if (!fs::is_directory(noHooks, ec) || !fs::is_empty(noHooks, ec)) {
        outcome.why = "'" + QuoteForMessage(noHooks.string()) +
                      "' is not an empty folder; it stands for the hooks, which never run";
        return outcome;
    }
    const auto failed = [&](const std::string& what, const ChildOutcome& run) {
        outcome.status = run.notFound ? GitOutcome::Status::kNoGit : GitOutcome::Status::kFailed;
        outcome.why = GitCommand::Failure(what, run);
        return outcome;
    };
    ChildOutcome run = ChildProcess::Run(
        GitCommand::kProgram,
        {"-C", repository_.string(), "-c", "core.hooksPath=" + noHooks.string(), "init", "-q"},
        GitCommand::kTimeLimit);
    if (!GitCommand::Succeeded(run)) {
        return failed("init " + repository_.string(), run);
    }
    const std::string box = name.box.Stem();
    // The box's folder is one plain name inside the repository, whatever
    // name the box was given; never a dot name (".", "..", ".git",
    // ".gitignore"), which git or the user owns.
    if (box.empty() || box.front() == '.') {
        outcome.why = "'" + box + "' cannot name a folder of the repository";
        return outcome;
    }
    std::vector<std::string> names;
    if (!NamesToCommit(folder, &names, &outcome.why)) {
        return outcome;
    }
    const FreshFile index(gitDir / kIndexName);
    const GitCommand git(gitDir, folder, gitDir / kIndexName, noHooks);
    // HEAD's commit; none while its branch is yet to be born.
    run = git.Run({"rev-parse", "-q", "--verify", "HEAD^{commit}"});
    if (!run.started || run.timedOut) {
        return failed("rev-parse", run);
    }
    const std::string parent = GitCommand::Succeeded(run) ? GitCommand::FirstLine(run) : "";
    // The index: HEAD's tree with the box's folder made the backup's.
    std::vector<std::string> old;
    bool first = true;
    if (!parent.empty()) {
        if (!OldFiles(git, parent, box, &old, &first, &outcome.why)) {
            return outcome;
        }
        if (run = git.Run({"read-tree", parent}); !GitCommand::Succeeded(run)) {
            return failed("read-tree", run);
        }
    }
    if (!old.empty()) {
        std::vector<std::string> remove = {"update-index", "--force-remove", "--"};
        for (const std::string& n : old) {
            remove.push_back(box + "/" + n);
        }
        if (run = git.Run(remove); !GitCommand::Succeeded(run)) {
            return failed("update-index", run);
        }
    }
    std::vector<std::string> hash = {"hash-object", "-w", "--no-filters", "--"};
    for (const std::string& n : names) {
        hash.push_back((folder / n).string());
    }
    run = git.Run(hash);
    std::vector<std::string> ids;
    for (size_t at = 0; GitCommand::Succeeded(run) && at < run.output.size();) {
        const size_t end = std::min(run.output.find('\n', at), run.output.size());
        ids.push_back(run.output.substr(at, end - at));
        at = end + 1;
    }
    if (ids.size() != names.size()) {
        return failed("hash-object", run);
    }
    std::vector<std::string> add = {"update-index", "--add"};
    for (size_t k = 0; k < names.size(); ++k) {
        add.insert(add.end(), {"--cacheinfo", "100644," + ids[k] + "," + box + "/" + names[k]});
    }
    if (run = git.Run(add); !GitCommand::Succeeded(run)) {
        return failed("update-index", run);
    }
    if (run = git.Run({"write-tree"}); !GitCommand::Succeeded(run)) {
        return failed("write-tree", run);
    }
    const std::string tree = GitCommand::FirstLine(run);
    std::vector<FileChange> changes;
    if (!parent.empty()) {
        run = git.Run({"diff-tree", "-r", "-z", "--no-renames", "--name-status", parent, tree});
        if (!GitCommand::Succeeded(run)) {
            return failed("diff-tree", run);
        }
        changes = Changes(run.output, box + "/");
        if (changes.empty()) {
            outcome.status = GitOutcome::Status::kUnchanged;
            return outcome;
        }
    }
    std::vector<std::string> identity = {std::string("GIT_AUTHOR_NAME=") + kAuthorName,
                                         std::string("GIT_AUTHOR_EMAIL=") + kAuthorEmail,
                                         "GIT_AUTHOR_DATE=" + name.TakenText()};
    if (!GitCommand::Succeeded(git.Run({"config", "user.email"}))) {
        identity.insert(identity.end(), {std::string("GIT_COMMITTER_NAME=") + kAuthorName,
                                         std::string("GIT_COMMITTER_EMAIL=") + kAuthorEmail});
    }
    std::vector<std::string> commit = {"commit-tree", "--no-gpg-sign", "-m",
                                       Message(box, first, changes)};
    if (!parent.empty()) {
        commit.insert(commit.end(), {"-p", parent});
    }
    commit.push_back(tree);
    if (run = git.Run(commit, identity); !GitCommand::Succeeded(run)) {
        return failed("commit-tree", run);
    }
    const std::string id = GitCommand::FirstLine(run);
    // HEAD's branch moves on only from the commit the new one was built on.
    if (run = git.Run({"update-ref", "-m", "velqo-cli backup", "HEAD", id, parent});
        !GitCommand::Succeeded(run)) {
        return failed("update-ref", run);
    }
    run = git.Run({"rev-parse", "--short", id});
    outcome.commit = GitCommand::FirstLine(run);
    outcome.status = GitOutcome::Status::kCommitted;
    return outcome;
}
