#include "cli/CliClient.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "box/BoxDefaults.h"
#include "base/TextEscape.h"
#include "box/BoxLogin.h"
#include "box/BoxSession.h"
#include "box/BoxSettings.h"
#include "box/BoxSocket.h"
#include "box/NetApi.h"
#include "box/WireFormat.h"
#include "catalog/FileCatalog.h"
#include "cli/CliBackup.h"
#include "cli/TerminalLog.h"

namespace {

constexpr const char* kSettingsFile = "config/config.ini";

// The settings file may pad the address with spaces, which the record keeps.
std::string TrimmedAddress(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CliClient::CliClient(const CliOptions& options, FILE* out, FILE* err)
    : options_(options), out_(out), err_(err) {}

std::filesystem::path CliClient::InDirectory(const std::filesystem::path& path) const {
    return options_.directory.empty() ? path : std::filesystem::path(options_.directory) / path;
}

int CliClient::Run() {
    // DIR is where files go and come from; the process's own working
    // directory is left alone.
    std::error_code ec;
    if (options_.directory.empty()) {
        absoluteDirectory_ = std::filesystem::current_path(ec);
    } else {
        absoluteDirectory_ = std::filesystem::canonical(options_.directory, ec);
        if (!ec && !std::filesystem::is_directory(absoluteDirectory_, ec) && !ec) {
            ec = std::make_error_code(std::errc::not_a_directory);
        }
        if (ec) {
            std::fprintf(err_, "velqo-cli: cannot use directory '%s': %s\n",
                         QuoteForMessage(options_.directory).c_str(), ec.message().c_str());
            return kExitUsage;
        }
    }
    Target target;
    if (!ChooseTarget(&target)) {
        return kExitUsage;
    }
    const std::string& host = target.host;
    const int port = target.port;
    uint32_t address = 0;
    if (!net::ResolveIPv4(host.c_str(), &address)) {
        std::fprintf(err_, "velqo-cli: cannot resolve host %s\n", QuoteForMessage(host).c_str());
        return kExitNoLogin;
    }
    host_ = host;
    if (options_.command == CliOptions::Command::kRestore) {
        restore_ = std::make_unique<CliRestore>(options_, options_.backupFolder, out_, err_);
        if (!restore_->CheckBackup()) {
            return kExitFailed;
        }
    }
    if (options_.verify) {
        verifier_ = std::make_unique<ReadBackVerifier>(absoluteDirectory_);
    }

    BoxSocket socket;
    BoxSession session(&socket);
    session.SetLogSink(&TerminalLog::LogSink);
    session.SetProgressSink(&TerminalLog::ProgressSink);
    const LoginOutcome login =
        ConnectAndLogin(socket, session, host.c_str(), port, target.password.c_str());
    if (login != LoginOutcome::kLoggedIn) {
        std::fprintf(err_, "velqo-cli: could not log in to %s:%d\n", QuoteForMessage(host).c_str(),
                     port);
        socket.Close();
        return kExitNoLogin;
    }
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (session.ListFiles(records, &count) != 1) {
        std::fprintf(err_, "velqo-cli: the box did not send its file list\n");
        socket.Close();
        return kExitFailed;
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

bool CliClient::ChooseTarget(Target* target) {
    BoxSettings settings;
    BoxSettingsReport report;
    const std::string path =
        (options_.directory.empty() ? std::string() : options_.directory + "/") + kSettingsFile;
    const std::string file = QuoteForMessage(path);
    // Read only when the options leave something to it.
    if (options_.host.empty() || options_.port <= 0 || !options_.hasPassword) {
        settings.LoadFrom(options_.directory.empty() ? BoxSettings::kPath : path.c_str(), &report);
    }
    if (!report.fileProblem.empty()) {
        std::fprintf(err_, "velqo-cli: %s cannot be used as a settings file: %s\n", file.c_str(),
                     report.fileProblem.c_str());
        return false;
    }
    // Only the values the options leave to the file must be usable.
    const std::pair<bool, const BoxSettingsReport::Line*> used[] = {
        {options_.host.empty(), &report.boxIp},
        {options_.port <= 0, &report.port},
        {!options_.hasPassword, &report.password},
    };
    for (const auto& [fromFile, line] : used) {
        if (fromFile && !line->problem.empty()) {
            std::fprintf(err_, "velqo-cli: %s line %d: %s\n", file.c_str(), line->number,
                         line->problem.c_str());
            return false;
        }
    }
    if (options_.host.empty() && report.boxIp.number == 0) {
        // Never the built-in address: whatever answers there on this network
        // would be sent the password.
        std::fprintf(err_,
                     "velqo-cli: no box address: give --host ADDR or a line BOXIP=ADDR in %s "
                     "(the box's factory address is %s)\n",
                     file.c_str(), box_defaults::kAddress);
        return false;
    }
    target->host = options_.host.empty() ? TrimmedAddress(settings.BoxIp()) : options_.host;
    target->port = options_.port > 0 ? options_.port : settings.GetPort();
    target->password = options_.hasPassword ? options_.password : settings.Password();
    return true;
}

int CliClient::RunCommand(BoxSession& session, const FileCatalog& catalog) {
    if (options_.command == CliOptions::Command::kList) {
        PrintList(catalog);
        return kExitOk;
    }
    if (options_.command == CliOptions::Command::kBackup) {
        const std::filesystem::path shownInto =
            options_.into.empty() ? absoluteDirectory_ : std::filesystem::path(options_.into);
        return CliBackup(InDirectory(shownInto), shownInto, host_, out_, err_)
            .Run(session, listed_);
    }
    if (options_.command == CliOptions::Command::kRestore) {
        return restore_->Run(session, listed_, verifier_.get());
    }
    bool failed = false;
    for (const std::string& name : options_.names) {
        if (!Transfer(session, catalog, name, &failed)) {
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
            std::fprintf(out_, "%s\t%s\t%d\n", EscapeControls(group).c_str(),
                         EscapeControls(name).c_str(), static_cast<int>(type));
        }
    }
    std::fflush(out_);
}

bool CliClient::IsUploadable(const std::string& name) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(InDirectory(name), ec);
    // A missing file is the session's to report; it sends nothing for it.
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) {
        return true;
    }
    std::fprintf(err_, "velqo-cli: %s: %s, not a regular file; skipped\n",
                 QuoteForMessage(name).c_str(),
                 std::filesystem::is_directory(status) ? "a directory" : "a special file");
    return false;
}

bool CliClient::Transfer(BoxSession& session, const FileCatalog& catalog, const std::string& name,
                         bool* failed) {
    if (catalog.FindFileType(name.c_str()) == -1) {
        std::fprintf(err_, "velqo-cli: %s: not on the box's file list\n",
                     QuoteForMessage(name).c_str());
        *failed = true;
        return true;
    }
    const bool get = options_.command == CliOptions::Command::kGet;
    if (!get && !IsUploadable(name)) {
        *failed = true;
        return true;
    }
    const std::string& directory = options_.directory;
    if (get) {
        session.DumpInto(name.c_str(), directory);
    } else {
        session.UploadFrom(name.c_str(), directory);
    }
    if (session.LastOutcome() == TransferOutcome::kRefused) {
        std::fprintf(err_, "velqo-cli: %s: refused by the box: \"%s\"\n",
                     QuoteForMessage(name).c_str(), EscapeControls(session.LastRefusal()).c_str());
    }
    if (session.LastOutcome() == TransferOutcome::kDone) {
        if (get || verifier_ == nullptr) {
            return true;
        }
        std::string message;
        const Verified verified = verifier_->Verify(
            session, name, std::filesystem::absolute(InDirectory(name)), &message);
        std::fprintf(err_, "velqo-cli: %s: %s\n", name.c_str(), message.c_str());
        if (verified == Verified::kYes) {
            return true;
        }
    }
    *failed = true;
    if (session.LinkLost()) {
        std::fprintf(err_, "velqo-cli: the link to the box is lost; stopping\n");
        return false;
    }
    return true;
}
