#pragma once
// Runs a program that was built beside the test program, capturing its
// standard output and standard error in files of the working directory.
#include <string>
#include <vector>

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
