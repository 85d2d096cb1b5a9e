#include "cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool ParsePort(const std::string& text, int* port) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < 1 || v > 65535) {
        return false;
    }
    *port = static_cast<int>(v);
    return true;
}

bool ValidPassword(const std::string& text) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

const char* CliUsage() {
    return "Usage:\n"
           "  velqo-cli [OPTIONS] list\n"
           "  velqo-cli [OPTIONS] get NAME...\n"
           "  velqo-cli [OPTIONS] put NAME...\n"
           "\n"
           "Logs in to the box, always fetches its file list, runs the command, logs out.\n"
           "\n"
           "Commands:\n"
           "  list        print one line per file on the box: GROUP<TAB>NAME<TAB>TYPE\n"
           "  get NAME... download each named box file into DIR (an existing file of\n"
           "              that name is replaced only once the download is complete)\n"
           "  put NAME... upload each named file from DIR to the box\n"
           "  Names must be on the box's file list; after a refused or failed name\n"
           "  the others are still tried. put skips, with a message, a name that is a\n"
           "  directory or another file that is not a regular file.\n"
           "\n"
           "Options:\n"
           "  --host ADDR       the box's address (dotted IPv4 or host name)\n"
           "  --port N          the box's TCP port, 1..65535\n"
           "  --password PIN    the box's password, up to 4 digits\n"
           "  -C DIR            working directory (default: the current directory):\n"
           "                    files are downloaded into it and uploaded from it\n"
           "  -h, --help        show this help\n"
           "\n"
           "What the options do not give comes from DIR/config/config.ini (lines\n"
           "BOXIP=..., PORT=..., PASSWORD=...; the settings file is never written), else\n"
           "port 1000 and password 7351. There is no built-in address: without --host\n"
           "and without a BOXIP line nothing is sent (the box's factory address is\n"
           "192.168.1.108). A value in the file that cannot be used as written (an\n"
           "address that is not dotted IPv4, a port outside 1..65535, a password that is\n"
           "not 1 to 4 digits) is a usage error naming the file and the line.\n"
           "\n"
           "Connecting follows the window's Login button: up to three connects of at\n"
           "most 20 s each and two login attempts; every protocol step waits at most 5 s.\n"
           "\n"
           "Output: the list on stdout; the session's log lines (\"PC > ...\") on stderr,\n"
           "with a progress bar when stderr is a terminal (redrawn at most ten times a\n"
           "second).\n"
           "\n"
           "Exit status:\n"
           "  0  all done\n"
           "  1  the box refused something or a transfer failed\n"
           "  2  usage error\n"
           "  3  could not resolve the host, connect or log in\n";
}

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options,
                     std::string* error) {
    size_t i = 0;
    auto value = [&](const std::string& flag, std::string* out) {
        if (i + 1 >= args.size()) {
            *error = "option " + flag + " needs a value";
            return false;
        }
        *out = args[++i];
        return true;
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            options->help = true;
            return true;
        }
        if (a == "--host") {
            if (!value(a, &options->host)) {
                return false;
            }
            if (options->host.empty()) {
                *error = "--host needs a non-empty address";
                return false;
            }
        } else if (a == "--port") {
            std::string text;
            if (!value(a, &text)) {
                return false;
            }
            if (!ParsePort(text, &options->port)) {
                *error = "--port needs a number from 1 to 65535, not '" + text + "'";
                return false;
            }
        } else if (a == "--password") {
            if (!value(a, &options->password)) {
                return false;
            }
            if (!ValidPassword(options->password)) {
                *error = "--password needs 1 to 4 digits";
                return false;
            }
            options->hasPassword = true;
        } else if (a == "-C") {
            if (!value(a, &options->directory)) {
                return false;
            }
        } else if (!a.empty() && a[0] == '-') {
            *error = "unknown option '" + a + "'";
            return false;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        *error = "no command given (list, get or put)";
        return false;
    }
    const std::string& command = args[i++];
    if (command == "list") {
        options->command = CliOptions::Command::kList;
    } else if (command == "get") {
        options->command = CliOptions::Command::kGet;
    } else if (command == "put") {
        options->command = CliOptions::Command::kPut;
    } else {
        *error = "unknown command '" + command + "'";
        return false;
    }
    options->names.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (options->command == CliOptions::Command::kList && !options->names.empty()) {
        *error = "list takes no names";
        return false;
    }
    if (options->command != CliOptions::Command::kList && options->names.empty()) {
        *error = command + " needs at least one file name";
        return false;
    }
    return true;
}
