#include "tests/support/BackgroundProgram.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>

#include "tests/support/TempDir.h"

#ifdef _WIN32
#include "tests/support/ProgramRunner.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace {

// Where the program's output goes: files named after the next number.
void OutputPaths(std::string* out, std::string* err) {
    static std::atomic<int> counter{0};
    const std::string stem = "background-" + std::to_string(counter++);
    *out = std::filesystem::absolute(stem + "-out.txt").string();
    *err = std::filesystem::absolute(stem + "-err.txt").string();
}

}  // namespace

#ifdef _WIN32

namespace {

// A killed program has ended within this time.
constexpr DWORD kKilledMs = 5000;

}  // namespace

BackgroundProgram::BackgroundProgram(const std::string& program,
                                     const std::vector<std::string>& args)
    : commandLine_(CommandLine(program, args)), attempts_(commandLine_) {
    OutputPaths(&outPath_, &errPath_);
    Start();
}

void BackgroundProgram::Start() {
    PROCESS_INFORMATION process{};
    // A console of its own, without a window: Ctrl+C sent there reaches
    // this program alone.
    if (StartWithFiles(commandLine_, "NUL", outPath_, errPath_, CREATE_NO_WINDOW, attempts_,
                       &process)) {
        CloseHandle(process.hThread);
        process_ = process.hProcess;
        pid_ = process.dwProcessId;
    }
}

BackgroundProgram::~BackgroundProgram() {
    if (Started()) {
        if (!ended_) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, kKilledMs);
        }
        CloseHandle(process_);
    }
    std::error_code ec;
    std::filesystem::remove(outPath_, ec);
    std::filesystem::remove(errPath_, ec);
}

bool BackgroundProgram::Started() const {
    return process_ != nullptr;
}

bool BackgroundProgram::Signal(int signal) const {
    if (!Started() || ended_ || signal != SIGINT) {
        return false;
    }
    return RunProgram(SiblingProgram("send_ctrl_c"), {std::to_string(pid_)}).status == 0;
}

bool BackgroundProgram::Wait(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Started() && !ended_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (WaitForSingleObject(process_, static_cast<DWORD>(std::max<int64_t>(left.count(), 0))) !=
            WAIT_OBJECT_0) {
            break;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        if (!attempts_.AgainAfterExit(code)) {
            status_ = static_cast<int>(code);
            ended_ = true;
            break;
        }
        CloseHandle(process_);
        process_ = nullptr;
        Start();
    }
    return ended_;
}

int BackgroundProgram::ExitStatus() const {
    return ended_ ? status_ : -1;
}

int BackgroundProgram::KilledBy() const {
    return 0;
}

#else
namespace {

constexpr int kPollMs = 10;

// Sets up one of the child's standard descriptors; `pipeEnds` keeps the
// parent's ends of a broken pipe until the child has started.
void Direct(posix_spawn_file_actions_t* actions, int fd, BackgroundProgram::Output output,
            const std::string& path, std::vector<int>* pipeEnds) {
    switch (output) {
        case BackgroundProgram::Output::kFile:
            posix_spawn_file_actions_addopen(actions, fd, path.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
            break;
        case BackgroundProgram::Output::kClosed:
            posix_spawn_file_actions_addclose(actions, fd);
            break;
        case BackgroundProgram::Output::kBrokenPipe: {
            int ends[2];
            if (pipe(ends) != 0) {
                break;
            }
            // Nobody reads the pipe from the start: the reading end goes
            // before the program does, so its very first write fails.
            close(ends[0]);
            posix_spawn_file_actions_adddup2(actions, ends[1], fd);
            posix_spawn_file_actions_addclose(actions, ends[1]);
            pipeEnds->push_back(ends[1]);
            break;
        }
    }
}

}  // namespace

BackgroundProgram::BackgroundProgram(const std::string& program,
                                     const std::vector<std::string>& args, Output out, Output err) {
    OutputPaths(&outPath_, &errPath_);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<int> pipeEnds;
    Direct(&actions, 1, out, outPath_, &pipeEnds);
    Direct(&actions, 2, err, errPath_, &pipeEnds);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    // The test's own dispositions are the child's defaults.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        sigaddset(&defaults, s);
    }
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ) == 0) {
        pid_ = pid;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    // The parent's copy of the writing end.
    for (const int fd : pipeEnds) {
        close(fd);
    }
}

BackgroundProgram::~BackgroundProgram() {
    if (Started() && !ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    std::error_code ec;
    std::filesystem::remove(outPath_, ec);
    std::filesystem::remove(errPath_, ec);
}

bool BackgroundProgram::Started() const {
    return pid_ > 0;
}

bool BackgroundProgram::Signal(int signal) const {
    return Started() && !ended_ && kill(pid_, signal) == 0;
}

bool BackgroundProgram::Wait(int timeoutMs) {
    for (int waited = 0; Started() && !ended_; waited += kPollMs) {
        if (waitpid(pid_, &status_, WNOHANG) == pid_) {
            ended_ = true;
        } else if (waited >= timeoutMs) {
            return false;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        }
    }
    return ended_;
}

int BackgroundProgram::ExitStatus() const {
    return ended_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

int BackgroundProgram::KilledBy() const {
    return ended_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
}

#endif

std::string BackgroundProgram::Out() const {
    return ReadFile(outPath_);
}

std::string BackgroundProgram::Err() const {
    return ReadFile(errPath_);
}
