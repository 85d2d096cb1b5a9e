#pragma once
// Runs a program that was built beside the test program, capturing its
// standard output and standard error in files of the working directory.
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "tests/support/StartAttempts.h"
#endif

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Path of a program in the test program's own folder ("velqo-cli" gets
// ".exe" on Windows).
std::string SiblingProgram(const std::string& name);

// The program and its arguments, each quoted for the platform's command shell.
std::string CommandLine(const std::string& program, const std::vector<std::string>& args);

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args);

#ifdef _WIN32
// Starts the command line itself (not through cmd.exe, which under Wine now
// and then reports a program that is there as unknown, status 9009), its
// standard streams on these files; false when it cannot start, a start that
// Wine could not make being made again as `attempts` allows. The caller owns
// the handles in *process.
bool StartWithFiles(std::string commandLine, const std::filesystem::path& in,
                    const std::filesystem::path& out, const std::filesystem::path& err,
                    DWORD creationFlags, StartAttempts& attempts, PROCESS_INFORMATION* process);
#endif
