#include "tests/support/ProgramRunner.h"

#include <cstdlib>
#include <filesystem>

#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path OwnFolder() {
#ifdef _WIN32
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
#else
    return fs::read_symlink("/proc/self/exe").parent_path();
#endif
}

// Quotes one argument for the platform's command shell.
std::string Quote(const std::string& arg) {
#ifdef _WIN32
    std::string q = "\"";
    for (const char c : arg) {
        q += c == '"' ? std::string("\\\"") : std::string(1, c);
    }
    return q + "\"";
#else
    std::string q = "'";
    for (const char c : arg) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
#endif
}

}  // namespace

std::string SiblingProgram(const std::string& name) {
#ifdef _WIN32
    return (OwnFolder() / (name + ".exe")).string();
#else
    return (OwnFolder() / name).string();
#endif
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    const fs::path out = fs::absolute("program-stdout.txt");
    const fs::path err = fs::absolute("program-stderr.txt");
    std::string command = Quote(program);
    for (const auto& a : args) {
        command += " " + Quote(a);
    }
    command += " <" + Quote(fs::absolute("program-stdin.txt").string());
    command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    WriteFile("program-stdin.txt", "");
#ifdef _WIN32
    // cmd.exe strips one pair of quotes around the whole line.
    command = "\"" + command + "\"";
#endif
    ProgramResult result;
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    result.status = raw;
#else
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.out = ReadFile(out.string());
    result.err = ReadFile(err.string());
    fs::remove(out);
    fs::remove(err);
    fs::remove("program-stdin.txt");
    return result;
}
