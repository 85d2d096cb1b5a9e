#pragma once
// The options of velqo-boxsim, parsed from its command line.
#include <string>
#include <vector>

#include "boxsim/BoxSimOptions.h"

struct BoxSimCommandLine {
    BoxSimOptions options;
    std::string makeDemoFolder;  // non-empty: write the demo there and end
    bool once = false;           // serve one connection, then end
    bool verbose = false;        // print each event to stderr
    bool help = false;
    bool version = false;
    bool force = false;  // --make-demo into a folder that holds files
    // --listen given again: the same box also on each of these addresses
    // (the port of the first), as several boxes of one LAN.
    std::vector<std::string> moreAddresses;
};

// False with a reason on a usage error (unknown option, missing or bad value).
bool ParseBoxSimCommandLine(int argc, const char* const* argv, BoxSimCommandLine* out,
                            std::string* error);

const char* BoxSimHelpText();
