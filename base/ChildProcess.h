#pragma once
// Another program run to its end: found on PATH, given its arguments as
// they are (no shell between), its standard output and error collected
// together. POSIX spawn on Linux, CreateProcess on Windows.
#include <string>
#include <vector>

struct ChildOutcome {
    bool started = false;   // false: the program could not be started (`output` says why)
    bool notFound = false;  // not started because no such program is on PATH
    int status = -1;        // its exit status once started
    std::string output;     // what it wrote to stdout and stderr
};

class ChildProcess {
public:
    // Waits for the program's end. `program`: a name looked up on PATH, or a path.
    static ChildOutcome Run(const std::string& program, const std::vector<std::string>& args);
};
