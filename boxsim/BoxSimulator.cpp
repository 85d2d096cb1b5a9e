#include "boxsim/BoxSimulator.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/TextEscape.h"
#include "boxsim/BoxSimSession.h"
#include "boxsim/DemoContent.h"
#include "boxsim/SimConnection.h"
#include "boxsim/StoredUpload.h"

namespace {

constexpr int kAcceptSliceMs = 50;

}  // namespace

BoxSimulator::BoxSimulator(BoxSimOptions options) : options_(std::move(options)) {
    recorder_.SetRecording(options_.recordReceived, options_.recordLimit);
}

BoxSimulator::~BoxSimulator() {
    Stop();
}

bool BoxSimulator::CheckOptions(std::string* error) const {
    std::error_code ec;
    if (!std::filesystem::is_directory(options_.folder, ec)) {
        *error = "folder \"" + QuoteForMessage(options_.folder) + "\" does not exist";
        return false;
    }
    if (options_.password.size() > 4) {
        *error = "the password has more than 4 characters; the login carries at most 4";
        return false;
    }
    if (options_.ioTimeoutMs <= 0 || options_.pieceDelayMs < 0 || options_.paceMs < 0 ||
        options_.idleTimeoutMs < 0 || options_.updateRestartMs < 0) {
        *error = "time-outs must be positive, the idle limit and pauses not negative";
        return false;
    }
    return true;
}

bool BoxSimulator::Start(std::string* error) {
    std::string ignored;
    if (error == nullptr) {
        error = &ignored;
    }
    if (thread_.joinable() || running_.load()) {
        *error = "already started";
        return false;
    }
    if (!CheckOptions(error)) {
        return false;
    }
    // With '/' on every system, as the folder is mostly written, and the
    // bytes as given: a path's round trip through the system's code page
    // would change a UTF-8 name in the messages.
    const std::string& folder = options_.folder;
    const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    const std::string manifestPath = folder + (separated ? "" : "/") + options_.manifestName;
    if (!Manifest::Load(manifestPath, &manifest_, error)) {
        return false;
    }
    if (const int e = net::Startup(); e != 0) {
        *error = "the socket library cannot start: " + net::ErrorText(e);
        return false;
    }
    if (!Listen(options_.port, error)) {
        return false;
    }
    port_ = net::LocalPort(listener_.Get());
    stop_ = false;
    running_ = true;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

bool BoxSimulator::Listen(uint16_t port, std::string* error) {
    int listenError = 0;
    listener_ = SocketHandle(net::Listen(options_.listenAddress.c_str(), port, 4, &listenError));
    if (listener_.IsValid()) {
        return true;
    }
    *error = "cannot listen on " + QuoteForMessage(options_.listenAddress) + ":" +
             std::to_string(port) + ": " + net::ErrorText(listenError);
    if (port != 0 && port < 1024) {
        *error +=
            " (ports below 1024 need root or CAP_NET_BIND_SERVICE on Linux; "
            "choose a higher port with --port)";
    }
    return false;
}

void BoxSimulator::ResetGroups() {
    for (const ManifestEntry& entry : manifest_.Entries()) {
        const auto& groups = options_.updateResets;
        std::string content;
        if (std::find(groups.begin(), groups.end(), entry.group) == groups.end() ||
            !DemoContentOf(entry.name, &content)) {
            continue;  // a file the demo does not have stays as it is
        }
        // As an upload is stored: never written through a link planted there.
        StoredUpload file(options_.folder, entry.name);
        file.Write(content.data(), content.size());
        recorder_.Note("restart: " + entry.name +
                       (file.IsOpen() && file.Commit() ? " reset to the factory content"
                                                       : " cannot be reset"));
    }
}

bool BoxSimulator::Restart() {
    recorder_.Note("restarting after the update: nothing listens for " +
                   std::to_string(options_.updateRestartMs) + " ms");
    const auto back =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.updateRestartMs);
    while (std::chrono::steady_clock::now() < back) {
        if (stop_.load()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptSliceMs));
    }
    ResetGroups();
    std::string error;
    if (!Listen(port_, &error)) {
        recorder_.Notice(&BoxSimStats::restartsFailed, "cannot restart: " + error);
        return false;
    }
    recorder_.Count(&BoxSimStats::restarts, "restarted, listening again");
    return true;
}

void BoxSimulator::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    listener_.Reset();
}

void BoxSimulator::Serve() {
    int served = 0;
    while (!stop_.load()) {
        if (options_.maxConnections > 0 && served >= options_.maxConnections) {
            break;
        }
        const int ready = net::SelectOneMs(listener_.Get(), true, kAcceptSliceMs);
        if (ready < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptSliceMs));
        }
        if (ready <= 0) {
            continue;
        }
        SocketHandle client(net::Accept(listener_.Get()));
        if (!client.IsValid()) {
            continue;
        }
        ++served;
        recorder_.Count(&BoxSimStats::connectionsAccepted, "connection accepted");
        std::string end;
        bool restart = false;
        {
            SimConnection connection(std::move(client), &stop_, &recorder_, options_.pieceSize,
                                     options_.pieceDelayMs);
            BoxSimSession session(options_, manifest_, connection, recorder_);
            end = session.Run();
            restart = session.RestartRequested();
        }
        if (restart) {
            // Gone before the end is counted: whoever sees the connection
            // ended finds nothing listening, as on a box that restarts.
            listener_.Reset();
        }
        recorder_.Count(&BoxSimStats::connectionsEnded, "connection ended: " + end);
        if (restart && !Restart()) {
            break;
        }
    }
    running_ = false;
}
