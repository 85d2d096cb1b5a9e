#include "tests/support/ProgramRunner.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include "tests/support/InheritedFile.h"
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

#ifdef _WIN32
// -1 with the reason in *why when the program could not be started.
int RunWithFiles(const std::string& commandLine, const fs::path& in, const fs::path& out,
                 const fs::path& err, std::string* why) {
    StartAttempts attempts(commandLine);
    for (;;) {
        PROCESS_INFORMATION process{};
        if (!StartWithFiles(commandLine, in, out, err, 0, attempts, &process)) {
            *why = "not started: Windows error " + std::to_string(GetLastError());
            return -1;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = static_cast<DWORD>(-1);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (!attempts.AgainAfterExit(code)) {
            return static_cast<int>(code);
        }
    }
}
#endif

}  // namespace

std::string SiblingProgram(const std::string& name) {
#ifdef _WIN32
    return (OwnFolder() / (name + ".exe")).string();
#else
    return (OwnFolder() / name).string();
#endif
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& args) {
    std::string command = Quote(program);
    for (const auto& a : args) {
        command += " " + Quote(a);
    }
    return command;
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    const fs::path in = fs::absolute("program-stdin.txt");
    const fs::path out = fs::absolute("program-stdout.txt");
    const fs::path err = fs::absolute("program-stderr.txt");
    std::string command = CommandLine(program, args);
    WriteFile(in.string(), "");
    ProgramResult result;
#ifdef _WIN32
    std::string why;
    result.status = RunWithFiles(command, in, out, err, &why);
#else
    command += " <" + Quote(in.string()) + " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.out = ReadFile(out.string());
    result.err = ReadFile(err.string());
#ifdef _WIN32
    result.err += why;
#endif
    fs::remove(out);
    fs::remove(err);
    fs::remove(in);
    return result;
}

#ifdef _WIN32
bool StartWithFiles(std::string commandLine, const fs::path& in, const fs::path& out,
                    const fs::path& err, DWORD creationFlags, StartAttempts& attempts,
                    PROCESS_INFORMATION* process) {
    const InheritedFile input(in, GENERIC_READ, OPEN_EXISTING);
    const InheritedFile output(out, GENERIC_WRITE, CREATE_ALWAYS);
    const InheritedFile errors(err, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = errors.Get();
    for (;;) {
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, creationFlags,
                           nullptr, nullptr, &startup, process) != 0) {
            return true;
        }
        const DWORD error = GetLastError();
        if (!attempts.AgainAfterStartError(error)) {
            SetLastError(error);  // for the caller's message
            return false;
        }
    }
}
#endif
