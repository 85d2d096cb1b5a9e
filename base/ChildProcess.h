#pragma once
// Another program run to its end, or stopped at a time limit: found in the
// absolute folders of PATH only (never the current folder or this program's
// own, where a downloaded file could lie), given its arguments as they are
// (no shell between), its standard output and error collected together.
// POSIX spawn on Linux, CreateProcess with the found path on Windows.
#include <chrono>
#include <string>
#include <vector>

struct ChildOutcome {
    bool started = false;   // false: the program could not be started (`output` says why)
    bool notFound = false;  // not started because no such program is on PATH
    bool timedOut = false;  // it ran past the time limit and was killed
    int status = -1;        // its exit status once started
    std::string output;     // what it wrote to stdout and stderr
};

class ChildProcess {
public:
    // Waits for the program's end, at most `limit`: then it is killed and the
    // output so far kept. `program`: a name looked up as Find does, or a path
    // (it holds a folder separator). `environment`: "NAME=value" set for the
    // program on top of this process's own environment.
    static ChildOutcome Run(const std::string& program, const std::vector<std::string>& args,
                            std::chrono::milliseconds limit,
                            const std::vector<std::string>& environment = {});

    // The program file of `name` ("git"; on Windows exactly "git.exe", PATHEXT
    // aside) in the first folder of PATH that is an absolute path and holds
    // it as a regular file; empty when none does. Relative and empty entries,
    // which would mean the current folder, are passed over.
    static std::string Find(const std::string& name);
};
