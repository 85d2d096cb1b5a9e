#include "cli/CliClient.h"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "base/TextEscape.h"
#include "box/BoxDefaults.h"
#include "box/BoxLogin.h"
#include "box/BoxSession.h"
#include "box/BoxSettings.h"
#include "box/BoxSocket.h"
#include "box/HostAddress.h"
#include "box/NetApi.h"
#include "box/WireFormat.h"
#include "catalog/FileCatalog.h"
#include "cli/CliCommand.h"
#include "cli/CliCommandTable.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"

namespace fs = std::filesystem;

namespace {

// The settings file may pad the address with spaces, which the record keeps.
std::string TrimmedAddress(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CliClient::CliClient(const CliOptions& options, CliOutput& output)
    : options_(options), output_(output), context_(options, output) {}

int CliClient::Run() {
    const CliCommandRow* row = FindCommandRow(options_.command);
    if (row == nullptr) {
        return output_.Error(kExitUsage, "no command given");
    }
    const std::unique_ptr<CliCommand> command = row->make(context_);
    if (const int status = ChooseDirectory(); status != kExitOk) {
        return status;
    }
    const CliReach reach = row->reach(options_);
    Target target;
    if (reach != CliReach::kStore) {
        if (const int status = ChooseTarget(&target); status != kExitOk) {
            return status;
        }
        context_.box =
            BackupBox::Of(options_.boxName.empty() ? target.host : options_.boxName, target.port);
    }
    uint32_t address = 0;
    if (reach == CliReach::kBox && !net::ResolveIPv4(target.host.c_str(), &address)) {
        return output_.Error(kExitNoLogin, "cannot resolve host %s",
                             QuoteForMessage(target.host).c_str());
    }
    if (const int status = command->Check(); status != kExitOk) {
        return status;
    }
    return reach == CliReach::kBox ? RunOnBox(*command, target) : command->Run(nullptr);
}

int CliClient::ChooseDirectory() {
    // DIR is where files go and come from; the process's own working
    // directory is left alone.
    std::error_code ec;
    if (options_.directory.empty()) {
        context_.directory = fs::current_path(ec);
        return kExitOk;
    }
    context_.directory = fs::canonical(options_.directory, ec);
    if (!ec && !fs::is_directory(context_.directory, ec) && !ec) {
        ec = std::make_error_code(std::errc::not_a_directory);
    }
    if (ec) {
        return output_.Error(kExitUsage, "cannot use directory '%s': %s",
                             QuoteForMessage(options_.directory).c_str(), ec.message().c_str());
    }
    return kExitOk;
}

int CliClient::RunOnBox(CliCommand& command, const Target& target) {
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
    const std::vector<wire::ListRecord> listed(records, records + count);
    FileCatalog catalog;
    for (const wire::ListRecord& record : listed) {
        catalog.AddEntry(record.group, record.name, record.type);
    }
    const CliBoxLink link{session, listed, catalog, target.password};
    const int status = command.Run(&link);
    session.Logout();
    socket.Close();
    return status;
}

int CliClient::NotLoggedIn(LoginOutcome login, const BoxSocket& socket, const BoxSession& session,
                           const Target& target) {
    const std::string quotedHost = QuoteForMessage(target.host);
    const char* host = quotedHost.c_str();
    switch (login) {
        case LoginOutcome::kCannotConnect:
        case LoginOutcome::kPortClosed:
            return output_.Error(
                kExitNoLogin, "%s",
                LoginProblemText(login, target.host, target.port, socket.ConnectError()).c_str());
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
    const std::string path = context_.SettingsPath();
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
