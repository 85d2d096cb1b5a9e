#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/AsciiCase.h"
#include "base/ChildProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often a running program's output is looked for.
constexpr DWORD kPollMs = 5;
// The exit status of a program stopped at its time limit, and how long its
// end is then waited for.
constexpr UINT kStoppedStatus = 255;
constexpr DWORD kStopWaitMs = 5000;

// A handle closed when it goes.
class OwnedHandle {
public:
    OwnedHandle() = default;
    ~OwnedHandle() { Close(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE* Out() { return &handle_; }
    HANDLE Get() const { return handle_; }
    void Close() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// One argument as the C runtime's parser reads it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
std::string Quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
        return arg;
    }
    std::string out = "\"";
    size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string LastErrorText(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

// This process's environment block with `changes` ("NAME=value") set on
// top; names compared as Windows does, in either case.
std::string EnvironmentBlock(const std::vector<std::string>& changes) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* e = strings; e != nullptr && *e != '\0'; e += std::strlen(e) + 1) {
        const std::string entry = AsciiLower(e);
        bool replaced = false;
        for (const std::string& c : changes) {
            replaced = replaced || entry.rfind(AsciiLower(c.substr(0, c.find('='))) + "=", 0) == 0;
        }
        if (!replaced) {
            block.append(e, std::strlen(e) + 1);
        }
    }
    FreeEnvironmentStringsA(strings);
    for (const std::string& c : changes) {
        block.append(c.c_str(), c.size() + 1);
    }
    return block + '\0';
}

DWORD Milliseconds(Clock::duration d) {
    return static_cast<DWORD>(
        std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(d).count()));
}

}  // namespace

std::string ChildProcess::Find(const std::string& name) {
    namespace fs = std::filesystem;
    const char* path = std::getenv("PATH");
    std::string rest = path == nullptr ? "" : path;
    while (!rest.empty()) {
        const size_t semicolon = rest.find(';');
        std::string folder = rest.substr(0, semicolon);
        rest = semicolon == std::string::npos ? "" : rest.substr(semicolon + 1);
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        // "C:folder" and "\\folder" hang on the current drive's folder: not absolute.
        if (folder.empty() || !fs::path(folder).is_absolute()) {
            continue;
        }
        const fs::path candidate = fs::path(folder) / (name + ".exe");
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            return candidate.string();
        }
    }
    return "";
}

ChildOutcome ChildProcess::Run(const std::string& program, const std::vector<std::string>& args,
                               std::chrono::milliseconds limit,
                               const std::vector<std::string>& environment) {
    ChildOutcome outcome;
    const std::string file =
        program.find_first_of("/\\:") == std::string::npos ? Find(program) : program;
    if (file.empty()) {
        outcome.notFound = true;
        outcome.output = LastErrorText(ERROR_FILE_NOT_FOUND);
        return outcome;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    OwnedHandle readEnd;
    OwnedHandle writeEnd;
    if (!CreatePipe(readEnd.Out(), writeEnd.Out(), &inherit, 0) ||
        !SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0)) {
        outcome.output = LastErrorText(GetLastError());
        return outcome;
    }
    OwnedHandle input;
    *input.Out() = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    std::string commandLine = Quoted(file);
    for (const std::string& a : args) {
        commandLine += " " + Quoted(a);
    }
    std::string block = environment.empty() ? "" : EnvironmentBlock(environment);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION process = {};
    // The found file by its full path: CreateProcess searches no folder then.
    if (!CreateProcessA(file.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        block.empty() ? nullptr : block.data(), nullptr, &startup, &process)) {
        const DWORD error = GetLastError();
        outcome.notFound = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        outcome.output = LastErrorText(error);
        return outcome;
    }
    OwnedHandle processHandle;
    *processHandle.Out() = process.hProcess;
    CloseHandle(process.hThread);
    writeEnd.Close();  // so that the pipe breaks when the program's copies close
    outcome.started = true;
    const Clock::time_point deadline = Clock::now() + limit;
    // The output until its end; a program (or one it started) that keeps it
    // open past the limit is not waited for.
    char buffer[4096];
    bool ended = false;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &available, nullptr)) {
            break;  // every writer closed its end
        }
        DWORD n = 0;
        if (available > 0) {
            if (!ReadFile(readEnd.Get(), buffer, std::min<DWORD>(available, sizeof buffer), &n,
                          nullptr) ||
                n == 0) {
                break;
            }
            outcome.output.append(buffer, n);
        } else if (Clock::now() >= deadline) {
            outcome.timedOut = true;
            break;
        } else if (ended) {
            Sleep(kPollMs);  // what the program started still holds the pipe
        } else {
            ended = WaitForSingleObject(processHandle.Get(), kPollMs) == WAIT_OBJECT_0;
        }
    }
    if (!outcome.timedOut) {
        outcome.timedOut =
            WaitForSingleObject(processHandle.Get(), Milliseconds(deadline - Clock::now())) !=
            WAIT_OBJECT_0;
    }
    if (outcome.timedOut) {
        TerminateProcess(processHandle.Get(), kStoppedStatus);
        WaitForSingleObject(processHandle.Get(), kStopWaitMs);
    }
    DWORD status = 0;
    GetExitCodeProcess(processHandle.Get(), &status);
    outcome.status = static_cast<int>(status);
    return outcome;
}
