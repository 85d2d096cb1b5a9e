#include "boxsim/BoxSimCommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "base/DecimalNumber.h"
#include "base/NearestWord.h"
#include "base/TextEscape.h"
#include "box/BoxDefaults.h"
#include "box/HostAddress.h"
#include "box/SettingRules.h"

namespace {

// A required version as --require-version takes it and as the log shows it.
std::string VersionInHelp(uint16_t v) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%04x", v);
    return text + (", shown as " + wire::VersionText(v));
}

std::string MakeHelp() {
    return std::string(
               "Usage: velqo-boxsim [OPTION]...\n"
               "A substitute set-top box: serves the box side of the box command protocol\n"
               "(login, list, dump, upload, logout) over TCP from a folder, one client at a\n"
               "time, until stopped with Ctrl+C (SIGINT), SIGTERM or SIGHUP.\n"
               "\n"
               "What it serves:\n"
               "  --folder DIR             folder with the served files, the manifest and the\n"
               "                           stored uploads (default: .)\n"
               "  --manifest NAME          manifest file inside the folder (default: "
               "manifest.txt);\n"
               "                           one file per line: GROUP NAME TYPE, '#' comments,\n"
               "                           \"double quotes\" around fields with spaces, at most "
               "28\n"
               "  --make-demo DIR          write a demo folder (files and manifest) to DIR and\n"
               "                           end; serve it with --folder DIR. A folder that\n"
               "                           already holds files is refused\n"
               "  --force                  --make-demo: write over the files of DIR\n"
               "\n"
               "Where it listens:\n"
               "  --listen ADDR            IPv4 address to listen on, four decimal numbers\n"
               "                           0..255 without leading zeros (default: 127.0.0.1);\n"
               "                           given again, the same box also listens on that\n"
               "                           address, on the first one's port, each serving\n"
               "                           one client at a time as a box does\n"
               "  --port N                 TCP port, 0 = any free port (default: ") +
           std::to_string(box_defaults::kPort) +
           "; ports below\n"
           "                           1024 need root or CAP_NET_BIND_SERVICE on Linux)\n"
           "  --once                   serve one connection, then end\n"
           "\n"
           "How it answers:\n"
           "  --password PIN           login password, at most 4 characters (default: " +
           box_defaults::kPassword +
           ")\n"
           "  --require-version V      lowest tool version the box requires, 0xNNNN or\n"
           "                           decimal (default: " +
           VersionInHelp(box_defaults::kRequiredToolVersion) +
           ")\n"
           "  --wait-phase             after each upload, report processing messages\n"
           "  --wait-message TEXT      a processing message (repeatable; implies\n"
           "                           --wait-phase): all but the last carry status 2\n"
           "  --wait-status N          status of the last message: 3 done, 4 or more failed\n"
           "                           (default: 3; implies --wait-phase)\n"
           "  --io-timeout MS          longest wait for the rest of a started exchange\n"
           "                           (default: 30000)\n"
           "  --idle-timeout SECONDS   longest wait for the next request; a client silent\n"
           "                           for longer is dropped, so that it cannot keep the\n"
           "                           others waiting (default: 60; 0: no limit)\n"
           "  --pace-ms MS             wait MS before each reply, download record and wait\n"
           "                           message, as a real box's processor and flash do\n"
           "                           (default: 0); 4 is like a box on a home LAN, about\n"
           "                           200 KB/s: 0.8 MB of files backed up in about 4 s\n"
           "\n"
           "Faults, for testing a PC tool:\n"
           "  --refuse-login TEXT      refuse every login with TEXT\n"
           "  --refuse-dump TEXT       refuse every download with TEXT\n"
           "  --refuse-upload TEXT     refuse every upload with TEXT\n"
           "  --no-login-reply         read each login request and answer nothing\n"
           "  --close-after-records N  close the connection after N acknowledged download\n"
           "                           records (0: right after accepting the download)\n"
           "  --corrupt-uploads        accept uploads as usual but store them with the last\n"
           "                           byte inverted (an empty upload: one byte)\n"
           "  --pieces N               send every message in pieces of N bytes\n"
           "  --piece-delay MS         pause between two pieces (default: 2)\n"
           "\n"
           "Firmware updates:\n"
           "  --update-file NAME       a completed upload of NAME is an update: the box\n"
           "                           sends processing messages, then restarts\n"
           "  --update-restart SECONDS how long the restart takes: every connection closed,\n"
           "                           nothing listening (default: 3)\n"
           "  --update-resets GROUP    at the restart, the files of GROUP go back to the\n"
           "                           demo's factory content (repeatable)\n"
           "  --update-fails TEXT      the update's processing ends with status 4 and TEXT;\n"
           "                           the box stays as it was (no file stored, no restart)\n"
           "\n"
           "Output:\n"
           "  --verbose                print each connection and command to stderr\n"
           "                           (a dropped client is printed also without it)\n"
           "  -h, --help               show this help and end\n"
           "  -V, --version            show the version and end\n"
           "Every OPTION VALUE may also be written OPTION=VALUE. Numbers are decimal\n"
           "digits (a leading 0 or 0x makes no other base), but for --require-version.\n"
           "\n"
           "The box refuses, with a refusal text: a login with a wrong password; any\n"
           "download or upload before a login; names that are not plain file names;\n"
           "downloads of files not in the manifest or missing in the folder (a listed\n"
           "name that is a symbolic link, a folder, a FIFO or a device counts as\n"
           "missing: only the folder's own regular files are served); uploads\n"
           "named like the manifest. Uploads are stored in the folder (temporary file,\n"
           "then renamed) and are listed only when the manifest names them. The\n"
           "manifest is read once, at start.\n"
           "\n"
           "On start it prints \"velqo-boxsim: listening on ADDR:PORT\" to stdout.\n"
           "Exit status: 0 stopped, 1 cannot start (folder, manifest, port), 2 usage error.\n";
}

constexpr long long kMsPerSecond = 1000;

template <typename Map>
std::vector<std::string> KeysOf(const Map& map) {
    std::vector<std::string> keys;
    for (const auto& entry : map) {
        keys.push_back(entry.first);
    }
    return keys;
}

// Decimal digits only; a version, which the log shows in hex, also as 0xNNNN.
bool ParseInteger(const std::string& text, bool hexAllowed, long long low, long long high,
                  long long* value) {
    const bool hex =
        hexAllowed && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!hex) {
        return ReadDecimal(text, low, high, value);
    }
    if (text.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str() + 2, &end, 16);
    if (errno != 0 || *end != '\0' || v < low || v > high) {
        return false;
    }
    *value = v;
    return true;
}

}  // namespace

const char* BoxSimHelpText() {
    static const std::string help = MakeHelp();
    return help.c_str();
}

bool ParseBoxSimCommandLine(int argc, const char* const* argv, BoxSimCommandLine* out,
                            std::string* error) {
    BoxSimCommandLine result;
    BoxSimOptions& o = result.options;
    const long long kIntMax = std::numeric_limits<int32_t>::max();
    const long long kIntMin = std::numeric_limits<int32_t>::min();

    const std::map<std::string, bool*> switches = {
        {"--help", &result.help},
        {"-h", &result.help},
        {"--version", &result.version},
        {"-V", &result.version},
        {"--force", &result.force},
        {"--once", &result.once},
        {"--verbose", &result.verbose},
        {"--wait-phase", &o.waitPhase},
        {"--no-login-reply", &o.noLoginReply},
        {"--corrupt-uploads", &o.corruptUploads},
    };
    const std::map<std::string, std::string*> texts = {
        {"--folder", &o.folder},
        {"--manifest", &o.manifestName},
        {"--make-demo", &result.makeDemoFolder},
        {"--listen", &o.listenAddress},
        {"--refuse-login", &o.refuseLogin},
        {"--refuse-dump", &o.refuseDump},
        {"--refuse-upload", &o.refuseUpload},
        {"--update-file", &o.updateFile},
        {"--update-fails", &o.updateFails},
    };
    struct Range {
        long long low;
        long long high;
    };
    const std::map<std::string, Range> numbers = {
        {"--port", {0, setting_rules::kMaxPort}},  // 0: any free port
        {"--require-version", {0, 0xFFFF}},
        {"--wait-status", {kIntMin, kIntMax}},
        {"--io-timeout", {1, kIntMax}},
        {"--idle-timeout", {0, kIntMax / kMsPerSecond}},
        {"--close-after-records", {0, kIntMax}},
        {"--pieces", {1, kIntMax}},
        {"--piece-delay", {0, 60000}},
        {"--pace-ms", {0, 60000}},
        {"--update-restart", {0, kIntMax / kMsPerSecond}},
    };

    bool listenGiven = false;
    for (int i = 1; i < argc; ++i) {
        // --option=VALUE is --option VALUE.
        std::string option = argv[i];
        const size_t equals = option.rfind("--", 0) == 0 ? option.find('=') : std::string::npos;
        const bool inlineValue = equals != std::string::npos;
        const std::string given = inlineValue ? option.substr(equals + 1) : "";
        option = option.substr(0, equals);
        if (const auto s = switches.find(option); s != switches.end()) {
            if (inlineValue) {
                *error = option + " takes no value";
                return false;
            }
            *s->second = true;
            continue;
        }
        const auto t = texts.find(option);
        const auto n = numbers.find(option);
        const bool password = option == "--password";
        const bool message = option == "--wait-message";
        const bool resets = option == "--update-resets";
        if (t == texts.end() && n == numbers.end() && !password && !message && !resets) {
            *error = "unknown option \"" + QuoteForMessage(option) + "\"";
            std::vector<std::string> known = {"--password", "--wait-message", "--update-resets"};
            for (const auto& named : {KeysOf(switches), KeysOf(texts), KeysOf(numbers)}) {
                known.insert(known.end(), named.begin(), named.end());
            }
            if (const std::string nearest = NearestWord(option, known); !nearest.empty()) {
                *error += "; did you mean \"" + nearest + "\"?";
            }
            return false;
        }
        if (!inlineValue && i + 1 >= argc) {
            *error = option + " needs a value";
            return false;
        }
        const std::string value = inlineValue ? given : argv[++i];
        if (option == "--listen" && listenGiven) {
            result.moreAddresses.push_back(value);
        } else if (t != texts.end()) {
            listenGiven = listenGiven || option == "--listen";
            *t->second = value;
        } else if (password) {
            if (value.size() > 4) {
                *error = "--password: at most 4 characters";
                return false;
            }
            o.password = value;
        } else if (message) {
            o.waitMessages.push_back(value);
            o.waitPhase = true;
        } else if (resets) {
            o.updateResets.push_back(value);
        } else {
            long long v = 0;
            const bool version = option == "--require-version";
            if (!ParseInteger(value, version, n->second.low, n->second.high, &v)) {
                *error = option + ": \"" + QuoteForMessage(value) + "\" is not a " +
                         (version ? "number" : "decimal number") + " from " +
                         std::to_string(n->second.low) + " to " + std::to_string(n->second.high);
                return false;
            }
            if (option == "--port") {
                o.port = static_cast<uint16_t>(v);
            } else if (option == "--require-version") {
                o.requiredVersion = static_cast<uint16_t>(v);
            } else if (option == "--wait-status") {
                o.waitFinalStatus = static_cast<int32_t>(v);
                o.waitPhase = true;
            } else if (option == "--io-timeout") {
                o.ioTimeoutMs = static_cast<int>(v);
            } else if (option == "--idle-timeout") {
                o.idleTimeoutMs = static_cast<int>(v * kMsPerSecond);
            } else if (option == "--close-after-records") {
                o.closeAfterRecords = static_cast<int>(v);
            } else if (option == "--pieces") {
                o.pieceSize = static_cast<size_t>(v);
            } else if (option == "--pace-ms") {
                o.paceMs = static_cast<int>(v);
            } else if (option == "--update-restart") {
                o.updateRestartMs = static_cast<int>(v * kMsPerSecond);
            } else {
                o.pieceDelayMs = static_cast<int>(v);
            }
        }
    }
    // Checked here, not at bind: a listening address in another form than
    // the one shown ("127.0.0.010" is 127.0.0.8 to some) is a usage error.
    std::vector<std::string> addresses = result.moreAddresses;
    addresses.insert(addresses.begin(), o.listenAddress);
    for (const std::string& address : addresses) {
        if (const std::string problem = HostAddress(address).IPv4Problem(); !problem.empty()) {
            *error = "--listen " + problem;
            return false;
        }
    }
    *out = std::move(result);
    return true;
}
