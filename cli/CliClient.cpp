#include "cli/CliClient.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "base/NearestWord.h"
#include "base/TextEscape.h"
#include "box/BoxDefaults.h"
#include "box/BoxLogin.h"
#include "box/BoxSession.h"
#include "box/BoxSettings.h"
#include "box/BoxSocket.h"
#include "box/HostAddress.h"
#include "box/NetApi.h"
#include "box/PlainFileName.h"
#include "box/TransferText.h"
#include "box/WireFormat.h"
#include "catalog/FileCatalog.h"
#include "cli/CliBackup.h"
#include "cli/CliBackups.h"
#include "cli/CliCompare.h"
#include "cli/CliDiff.h"
#include "cli/CliHistory.h"
#include "cli/CliOutput.h"
#include "cli/CliRestore.h"
#include "cli/TerminalLog.h"
#include "history/BackupRef.h"
#include "history/BoxSide.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSettingsFile = "config/config.ini";
// Any real stamp, to read a box's name as the start of a backup folder's.
constexpr const char* kAnyStamp = "-20000101-000000";

// The settings file may pad the address with spaces, which the record keeps.
std::string TrimmedAddress(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CliClient::CliClient(const CliOptions& options, CliOutput& output)
    : options_(options), output_(output) {}

fs::path CliClient::InDirectory(const fs::path& path) const {
    return options_.directory.empty() ? path : fs::path(options_.directory) / path;
}

int CliClient::Run() {
    if (options_.command == CliOptions::Command::kRestore) {
        output_.Flag("dry_run", options_.dryRun);
    }
    // DIR is where files go and come from; the process's own working
    // directory is left alone.
    std::error_code ec;
    if (options_.directory.empty()) {
        absoluteDirectory_ = fs::current_path(ec);
    } else {
        absoluteDirectory_ = fs::canonical(options_.directory, ec);
        if (!ec && !fs::is_directory(absoluteDirectory_, ec) && !ec) {
            ec = std::make_error_code(std::errc::not_a_directory);
        }
        if (ec) {
            return output_.Error(kExitUsage, "cannot use directory '%s': %s",
                                 QuoteForMessage(options_.directory).c_str(), ec.message().c_str());
        }
    }
    // Every box's backups need no box at all.
    if (options_.command == CliOptions::Command::kBackups && options_.all) {
        return CliBackups(Store(), ShownStore(), output_).Run(nullptr);
    }
    const bool diff = options_.command == CliOptions::Command::kDiff;
    // A box named as the store names it, and two backup folders, need no address.
    if (options_.command == CliOptions::Command::kHistory && !options_.names.empty()) {
        if (!ParseStoreBox(options_.names.front(), &box_)) {
            return output_.Error(kExitUsage,
                                 "'%s' is no box as the store names one (HOST, or HOST+PORT)",
                                 QuoteForMessage(options_.names.front()).c_str());
        }
        return CliHistory(Store(), box_, output_).Run();
    }
    int back = 0;
    if (diff && !CliDiff::IsBox(options_.backupFolder) && !CliDiff::IsBox(options_.newerSide) &&
        !BackupRef::ParseLatest(options_.backupFolder, &back) &&
        !BackupRef::ParseLatest(options_.newerSide, &back)) {
        return Diff(nullptr);
    }
    Target target;
    if (const int status = ChooseTarget(&target); status != kExitOk) {
        return status;
    }
    box_ = BackupBox::Of(options_.boxName.empty() ? target.host : options_.boxName, target.port);
    if (options_.command == CliOptions::Command::kBackups) {
        return CliBackups(Store(), ShownStore(), output_).Run(&box_);
    }
    if (options_.command == CliOptions::Command::kHistory) {
        return CliHistory(Store(), box_, output_).Run();
    }
    if (diff && !CliDiff::IsBox(options_.backupFolder) && !CliDiff::IsBox(options_.newerSide)) {
        return Diff(nullptr);
    }
    uint32_t address = 0;
    if (!net::ResolveIPv4(target.host.c_str(), &address)) {
        return output_.Error(kExitNoLogin, "cannot resolve host %s",
                             QuoteForMessage(target.host).c_str());
    }
    if (const int status = CheckBeforeConnecting(); status != kExitOk) {
        return status;
    }
    if (options_.verify) {
        verifier_ = std::make_unique<ReadBackVerifier>(absoluteDirectory_);
    }

    BoxSocket socket;
    BoxSession session(&socket);
    session.SetLogSink(&TerminalLog::LogSink);
    session.SetProgressSink(&TerminalLog::ProgressSink);
    session.SetByteProgressSink(&TerminalLog::ByteProgressSink);
    const LoginOutcome login =
        ConnectAndLogin(socket, session, target.host.c_str(), target.port, target.password.c_str());
    if (login != LoginOutcome::kLoggedIn) {
        socket.Close();
        return NotLoggedIn(login, socket, session, target);
    }
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (session.ListFiles(records, &count) != 1) {
        socket.Close();
        return output_.Error(kExitFailed, "the box did not send its file list");
    }
    listed_.assign(records, records + count);
    FileCatalog catalog;
    for (int i = 0; i < count; ++i) {
        catalog.AddEntry(records[i].group, records[i].name, records[i].type);
    }
    const int status = RunCommand(session, catalog);
    session.Logout();
    socket.Close();
    return status;
}

BackupStore CliClient::Store() const {
    return BackupStore(
        (absoluteDirectory_ / (options_.into.empty() ? BackupStore::kDefaultFolder : options_.into))
            .lexically_normal());
}

fs::path CliClient::ShownStore() const {
    return options_.into.empty() ? absoluteDirectory_ / BackupStore::kDefaultFolder
                                 : fs::path(options_.into);
}

bool CliClient::ParseStoreBox(const std::string& text, BackupBox* box) {
    // The name's start of a backup folder of that box, read as the store reads it.
    BackupName name;
    if (!BackupName::Parse(text + kAnyStamp, &name) || name.box.Stem() != text) {
        return false;
    }
    *box = name.box;
    return true;
}

int CliClient::LoadDiffSides() {
    const std::pair<const std::string*, std::unique_ptr<DiffSide>*> sides[] = {
        {&options_.backupFolder, &older_}, {&options_.newerSide, &newer_}};
    for (const auto& [side, loaded] : sides) {
        if (!CliDiff::IsBox(*side)) {
            *loaded = CliDiff::LoadBackup(*side, Store(), box_, absoluteDirectory_, output_);
            if (*loaded == nullptr) {
                return kExitFailed;
            }
        }
    }
    return kExitOk;
}

int CliClient::Diff(BoxSession* session) {
    if (session == nullptr) {
        if (const int status = LoadDiffSides(); status != kExitOk) {
            return status;
        }
    }
    std::unique_ptr<DiffSide> box;
    if (session != nullptr) {
        box = std::make_unique<BoxSide>(*session, listed_);
    }
    DiffSide& older = older_ != nullptr ? *older_ : *box;
    DiffSide& newer = newer_ != nullptr ? *newer_ : *box;
    return CliDiff(options_, output_).Run(older, newer);
}

int CliClient::CheckBeforeConnecting() {
    if (options_.command == CliOptions::Command::kDiff) {
        return LoadDiffSides();
    }
    if (options_.command == CliOptions::Command::kRestore ||
        options_.command == CliOptions::Command::kCompare) {
        fs::path given = options_.backupFolder;
        int back = 0;
        if (BackupRef::ParseLatest(options_.backupFolder, &back)) {
            StoredBackup latest;
            std::string why;
            if (!BackupRef::Find(Store(), box_, back, &latest, &why)) {
                return output_.Error(kExitFailed, "%s; %s", why.c_str(),
                                     options_.command == CliOptions::Command::kCompare
                                         ? "nothing was compared"
                                         : "nothing was sent");
            }
            given = ShownStore() / latest.folder.filename();
            output_.Info("%s backup of %s: %s", options_.backupFolder.c_str(), box_.Text().c_str(),
                         given.string().c_str());
        }
        source_ = std::make_unique<CliBackupSource>(options_, absoluteDirectory_, given, output_);
        return source_->Load();
    }
    if (options_.command != CliOptions::Command::kPut) {
        return kExitOk;
    }
    // A file that is not there is said before the box is even asked; its
    // result keeps its place among the others.
    for (const std::string& name : options_.names) {
        const fs::path path = InDirectory(name);
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (!fs::exists(status)) {
            if (status.type() == fs::file_type::not_found || !ec) {
                ec = std::make_error_code(std::errc::no_such_file_or_directory);
            }
            FileReport file{name};
            file.message = "cannot read " + QuoteForMessage(path.string()) + ": " + ec.message();
            output_.Note("%s: %s: %s", QuoteForMessage(name).c_str(), FileResultName(file.result),
                         file.message.c_str());
            unreadable_.push_back(file);
        }
    }
    if (unreadable_.size() < options_.names.size()) {
        return kExitOk;
    }
    for (const FileReport& file : unreadable_) {
        output_.File(file);
    }
    return kExitFailed;
}

int CliClient::NotLoggedIn(LoginOutcome login, const BoxSocket& socket, const BoxSession& session,
                           const Target& target) {
    const std::string quotedHost = QuoteForMessage(target.host);
    const char* host = quotedHost.c_str();
    switch (login) {
        case LoginOutcome::kCannotConnect:
            return output_.Error(kExitNoLogin,
                                 "cannot connect to %s:%d: %s; check that the box is on and that "
                                 "the address and port are its own",
                                 host, target.port, socket.ConnectError().c_str());
        case LoginOutcome::kPortClosed:
            return output_.Error(kExitNoLogin,
                                 "%s:%d took the connection but did not answer the login: the "
                                 "box may be busy with another client (the window or another "
                                 "velqo-cli logged in to it), as it serves one at a time; log out "
                                 "there or wait until it ends, then try again. If nothing else "
                                 "uses it, this may not be a box, or not its port",
                                 host, target.port);
        case LoginOutcome::kBadAddress:
            return output_.Error(kExitUsage, "the box address %s",
                                 HostAddress(target.host).Problem().c_str());
        default:
            break;
    }
    if (session.LoginNeedsVersion() != 0) {
        return output_.Error(kExitNoLogin, "the box at %s:%d needs velqo-cli for version %s", host,
                             target.port, wire::VersionText(session.LoginNeedsVersion()).c_str());
    }
    const std::string said =
        session.LoginRefusal().empty()
            ? ""
            : " (the box said: " + QuoteForMessage(session.LoginRefusal()) + ")";
    return output_.Error(kExitNoLogin, "the box at %s:%d refused the password%s%s", host,
                         target.port, target.passwordFrom.c_str(), said.c_str());
}

int CliClient::ChooseTarget(Target* target) {
    BoxSettings settings;
    BoxSettingsReport report;
    const std::string path =
        !options_.config.empty()
            ? options_.config
            : (options_.directory.empty() ? std::string() : options_.directory + "/") +
                  kSettingsFile;
    const std::string file = QuoteForMessage(path);
    // Read only when the options leave something to it.
    if (options_.host.empty() || options_.port <= 0 || !options_.hasPassword) {
        const char* read = options_.config.empty() && options_.directory.empty()
                               ? BoxSettings::kPath
                               : path.c_str();
        if (!settings.LoadFrom(read, &report) && !options_.config.empty() &&
            report.fileProblem.empty()) {
            // A file named on the command line is meant to be there.
            return output_.Error(kExitUsage, "the settings file %s is not there", file.c_str());
        }
    }
    if (!report.fileProblem.empty()) {
        return output_.Error(kExitUsage, "%s cannot be used as a settings file: %s", file.c_str(),
                             report.fileProblem.c_str());
    }
    for (const BoxSettingsReport::NearMiss& miss : report.nearMisses) {
        output_.Note("%s line %d: ignored: did you mean %s=?", file.c_str(), miss.number,
                     miss.key.c_str());
    }
    for (const BoxSettingsReport::UnknownKey& unknown : report.unknownKeys) {
        const std::string meant =
            unknown.nearest.empty() ? "" : "; did you mean " + unknown.nearest + "=?";
        output_.Note("%s line %d: unknown key %s ignored%s", file.c_str(), unknown.number,
                     QuoteForMessage(unknown.key).c_str(), meant.c_str());
    }
    // Only the values the options leave to the file must be usable.
    const std::pair<bool, const BoxSettingsReport::Line*> used[] = {
        {options_.host.empty(), &report.boxIp},
        {options_.port <= 0, &report.port},
        {!options_.hasPassword, &report.password},
    };
    for (const auto& [fromFile, line] : used) {
        if (fromFile && !line->problem.empty()) {
            return output_.Error(kExitUsage, "%s line %d: %s", file.c_str(), line->number,
                                 line->problem.c_str());
        }
    }
    if (options_.host.empty() && report.boxIp.number == 0) {
        // Never the built-in address: whatever answers there on this network
        // would be sent the password.
        return output_.Error(kExitUsage,
                             "no box address: give --host ADDR or a line BOXIP=ADDR in %s "
                             "(the box's factory address is %s)",
                             file.c_str(), box_defaults::kAddress);
    }
    target->host = options_.host.empty() ? TrimmedAddress(settings.BoxIp()) : options_.host;
    target->port = options_.port > 0 ? options_.port : settings.GetPort();
    target->password = options_.hasPassword ? options_.password : settings.Password();
    // Where each came from, for --verbose and for a refused password.
    const auto from = [&](bool given, const char* option, const BoxSettingsReport::Line& line) {
        if (given) {
            return std::string(" (from ") + option + ")";
        }
        if (line.number > 0) {
            return " (from " + file + " line " + std::to_string(line.number) + ")";
        }
        return std::string(" (the box's factory default)");
    };
    target->passwordFrom =
        from(options_.hasPassword,
             options_.passwordFromEnvironment ? "VELQO_PASSWORD" : "--password", report.password);
    output_.Detail("box %s%s, port %d%s, password%s", QuoteForMessage(target->host).c_str(),
                   from(!options_.host.empty(), "--host", report.boxIp).c_str(), target->port,
                   from(options_.port > 0, "--port", report.port).c_str(),
                   target->passwordFrom.c_str());
    return kExitOk;
}

int CliClient::RunCommand(BoxSession& session, const FileCatalog& catalog) {
    switch (options_.command) {
        case CliOptions::Command::kList:
            PrintList(catalog);
            return kExitOk;
        case CliOptions::Command::kBackup: {
            CliBackup backup(Store().Root(), ShownStore(), box_, options_.keep, output_);
            backup.TellChanges(options_, absoluteDirectory_ / options_.git);
            return backup.Run(session, listed_);
        }
        case CliOptions::Command::kRestore:
            return CliRestore(options_, *source_, output_).Run(session, listed_, verifier_.get());
        case CliOptions::Command::kDiff:
            return Diff(&session);
        case CliOptions::Command::kCompare:
            return CliCompare(*source_, output_).Run(session, listed_);
        default:
            break;
    }
    bool failed = false;
    for (size_t i = 0; i < options_.names.size(); ++i) {
        if (!Transfer(session, catalog, options_.names[i], &failed)) {
            // The names not tried, each with its own result.
            for (size_t j = i + 1; j < options_.names.size(); ++j) {
                FileReport file{options_.names[j]};
                file.message = "not tried, " + SessionEndText(session.LastOutcome());
                output_.File(file);
            }
            break;
        }
    }
    return failed ? kExitFailed : kExitOk;
}

void CliClient::PrintList(const FileCatalog& catalog) {
    char group[FileCatalog::kGroupNameSize];
    char name[FileCatalog::kFileNameSize];
    for (int g = 0; g < catalog.GroupCount(); ++g) {
        catalog.GetGroupName(g, group);
        for (int f = 0; f < catalog.FileCount(g); ++f) {
            int32_t type = 0;
            catalog.GetFile(g, f, name, &type);
            output_.Line("%s\t%s\t%d\n", EscapeControls(group).c_str(),
                         EscapeControls(name).c_str(), static_cast<int>(type));
            output_.Listed(group, name, type);
        }
    }
}

bool CliClient::IsUploadable(const std::string& name, FileReport* file) {
    std::error_code ec;
    const fs::file_status status = fs::status(InDirectory(name), ec);
    // A missing file is the session's to report; it sends nothing for it.
    if (!fs::exists(status) || fs::is_regular_file(status)) {
        return true;
    }
    file->result = FileResult::kFailed;
    file->message = fs::is_directory(status) ? "a directory, not a regular file"
                                             : "a special file, not a regular file";
    output_.Note("%s: %s: %s", QuoteForMessage(name).c_str(), FileResultName(file->result),
                 file->message.c_str());
    return false;
}

bool CliClient::Transfer(BoxSession& session, const FileCatalog& catalog, const std::string& name,
                         bool* failed) {
    for (const FileReport& unreadable : unreadable_) {
        if (unreadable.name == name) {
            *failed = true;  // said before connecting
            output_.File(unreadable);
            return true;
        }
    }
    TerminalLog::FileStarting(name, 0, 0);
    FileReport file{name};
    const auto done = [&](bool ok) {
        *failed = *failed || !ok;
        output_.File(file);
    };
    if (catalog.FindFileType(name.c_str()) == -1) {
        std::vector<std::string> onBox;
        for (const wire::ListRecord& record : listed_) {
            if (!record.nameFillsField) {  // such a name cannot be asked for
                onBox.emplace_back(record.name);
            }
        }
        const std::string nearest = NearestWord(name, onBox);
        file.message = "not on the box's file list";
        if (!nearest.empty()) {
            file.message += "; did you mean '" + QuoteForMessage(nearest) + "'?";
        }
        output_.Note("%s: %s", QuoteForMessage(name).c_str(), file.message.c_str());
        done(false);
        return true;
    }
    const bool get = options_.command == CliOptions::Command::kGet;
    if (!get && !IsUploadable(name, &file)) {
        done(false);
        return true;
    }
    if (get) {
        session.DumpInto(name.c_str(), options_.directory);
    } else {
        session.UploadFrom(name.c_str(), options_.directory);
    }
    const TransferOutcome outcome = session.LastOutcome();
    bool ok = outcome == TransferOutcome::kDone;
    if (outcome == TransferOutcome::kRefused) {
        output_.Note("%s: refused by the box: \"%s\"", QuoteForMessage(name).c_str(),
                     QuoteForMessage(session.LastRefusal()).c_str());
    } else if (outcome == TransferOutcome::kBadName) {
        output_.Note("%s: %s", QuoteForMessage(name).c_str(),
                     UnusableNameText(name.c_str()).c_str());
    }
    if (!ok) {
        file.result =
            outcome == TransferOutcome::kRefused ? FileResult::kRefused : FileResult::kFailed;
        file.message = outcome == TransferOutcome::kBadName ? UnusableNameText(name.c_str())
                                                            : TransferFailureText(outcome, get);
    } else {
        file.result = get ? FileResult::kSaved : FileResult::kSent;
        std::error_code ec;
        const auto size = fs::file_size(InDirectory(name), ec);
        file.size = ec ? -1 : static_cast<int64_t>(size);
        if (!get && verifier_ != nullptr) {
            file.verified =
                verifier_->Verify(session, name, fs::absolute(InDirectory(name)), &file.message);
            ok = file.verified == Verified::kYes;
            if (ok) {
                output_.Info("%s: %s", QuoteForMessage(name).c_str(), file.message.c_str());
            } else {
                output_.Note("%s: %s", QuoteForMessage(name).c_str(), file.message.c_str());
            }
        }
    }
    done(ok);
    if (!ok && session.LinkLost()) {
        output_.Note("%s; stopping", SessionEndText(session.LastOutcome()).c_str());
        return false;
    }
    return true;
}
