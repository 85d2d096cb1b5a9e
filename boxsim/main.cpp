// velqo-boxsim: the substitute box as a program. See --help.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/RegularFile.h"
#include "base/SignalCleanup.h"
#include "base/TextEscape.h"
#include "base/Version.h"
#include "boxsim/BoxSimCommandLine.h"
#include "boxsim/BoxSimulator.h"
#include "boxsim/DemoContent.h"

#ifdef _WIN32
#include "base/DllSearch.h"
#endif

namespace {

// The name of a file or folder in `folder`, or empty when there is none.
std::string FirstFileIn(const std::string& folder) {
    std::error_code ec;
    const std::filesystem::directory_iterator it(folder, ec);
    return ec || it == std::filesystem::directory_iterator() ? "" : it->path().filename().string();
}

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void OnStopSignal(int) {
    g_stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    LoadDllsFromSystemOnly();
#endif
    SignalCleanup::IgnoreBrokenPipe();
    BoxSimCommandLine command;
    std::string error;
    if (!ParseBoxSimCommandLine(argc, argv, &command, &error)) {
        std::fprintf(stderr, "velqo-boxsim: %s\nTry 'velqo-boxsim --help'.\n", error.c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(BoxSimHelpText(), stdout);
        return 0;
    }
    if (command.version) {
        std::printf("velqo-boxsim %s\n%s\n", version::kText, version::kCopyright);
        return 0;
    }
    if (!command.makeDemoFolder.empty()) {
        const std::string held = FirstFileIn(command.makeDemoFolder);
        if (!held.empty() && !command.force) {
            std::fprintf(stderr,
                         "velqo-boxsim: %s already holds files (%s...); give --force to write "
                         "the demo over them\n",
                         command.makeDemoFolder.c_str(), QuoteForMessage(held).c_str());
            return 1;
        }
        if (!MakeDemoFolder(command.makeDemoFolder, command.options.manifestName, &error)) {
            std::fprintf(stderr, "velqo-boxsim: %s\n", error.c_str());
            return 1;
        }
        std::printf("velqo-boxsim: demo written to %s; serve it with --folder %s\n",
                    command.makeDemoFolder.c_str(), command.makeDemoFolder.c_str());
        return 0;
    }
    if (command.once) {
        command.options.maxConnections = 1;
    }

    // One box per address, all on the first one's port.
    std::vector<std::unique_ptr<BoxSimulator>> boxes;
    std::vector<std::string> addresses = command.moreAddresses;
    addresses.insert(addresses.begin(), command.options.listenAddress);
    for (const std::string& address : addresses) {
        BoxSimOptions options = command.options;
        options.listenAddress = address;
        options.port = boxes.empty() ? options.port : boxes.front()->Port();
        boxes.push_back(std::make_unique<BoxSimulator>(options));
        BoxSimulator& box = *boxes.back();
        // Events quote names as the PC sent them.
        box.SetEventSink([verbose = command.verbose](const std::string& event, bool notice) {
            if (verbose || notice) {
                std::fprintf(stderr, "velqo-boxsim: %s\n", EscapeControls(event).c_str());
            }
        });
        if (!box.Start(&error)) {
            const std::filesystem::path manifest =
                std::filesystem::path(command.options.folder) / command.options.manifestName;
            // Most often a folder that was never made to be served.
            if (std::filesystem::is_directory(command.options.folder) &&
                KindOfFile(manifest, LinkRule::kRefuse) == FileKind::kMissing) {
                error +=
                    "; a served folder needs a manifest of its files: velqo-boxsim --make-demo "
                    "DIR writes one with demo files";
            }
            std::fprintf(stderr, "velqo-boxsim: %s\n", error.c_str());
            return 1;
        }
        std::printf("velqo-boxsim: listening on %s:%u, serving %zu file(s) from %s\n",
                    address.c_str(), static_cast<unsigned>(box.Port()),
                    box.Files().Entries().size(), command.options.folder.c_str());
    }
    std::fflush(stdout);

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#ifdef SIGHUP
    std::signal(SIGHUP, OnStopSignal);
#endif
    const auto anyRunning = [&boxes] {
        for (const auto& box : boxes) {
            if (box->Running()) {
                return true;
            }
        }
        return false;
    };
    while (g_stopRequested == 0 && anyRunning()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (const auto& box : boxes) {
        box->Stop();
    }
    return 0;
}
