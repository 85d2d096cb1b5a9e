#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/ChildProcess.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// How often the end of a program that closed its output is looked for.
constexpr std::chrono::milliseconds kExitPoll{2};

// A pipe's two ends, closed when it goes.
class Pipe {
public:
    Pipe() {
        if (pipe2(ends_, O_CLOEXEC) != 0) {
            ends_[0] = ends_[1] = -1;
        }
    }
    ~Pipe() {
        CloseWriteEnd();
        if (ends_[0] >= 0) {
            close(ends_[0]);
        }
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool IsOpen() const { return ends_[0] >= 0; }
    int ReadEnd() const { return ends_[0]; }
    int WriteEnd() const { return ends_[1]; }
    void CloseWriteEnd() {
        if (ends_[1] >= 0) {
            close(ends_[1]);
            ends_[1] = -1;
        }
    }

private:
    int ends_[2];
};

// This process's environment with `changes` ("NAME=value") set on top.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> entries;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& c : changes) {
            replaced = replaced || entry.rfind(c.substr(0, c.find('=')) + "=", 0) == 0;
        }
        if (!replaced) {
            entries.push_back(entry);
        }
    }
    entries.insert(entries.end(), changes.begin(), changes.end());
    return entries;
}

int Milliseconds(Clock::duration d) {
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(d).count());
}

}  // namespace

std::string ChildProcess::Find(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string rest = path == nullptr ? "" : path;
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string folder = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        if (folder.empty() || folder.front() != '/') {
            continue;
        }
        const std::string candidate = folder + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}

ChildOutcome ChildProcess::Run(const std::string& program, const std::vector<std::string>& args,
                               std::chrono::milliseconds limit,
                               const std::vector<std::string>& environment) {
    ChildOutcome outcome;
    const std::string file = program.find('/') == std::string::npos ? Find(program) : program;
    if (file.empty()) {
        outcome.notFound = true;
        outcome.output = std::strerror(ENOENT);
        return outcome;
    }
    Pipe output;
    if (!output.IsOpen()) {
        outcome.output = std::strerror(errno);
        return outcome;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> entries = EnvironmentWith(environment);
    std::vector<char*> envp;
    for (std::string& e : entries) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.WriteEnd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.WriteEnd(), STDERR_FILENO);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, file.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    output.CloseWriteEnd();
    if (error != 0) {
        outcome.notFound = error == ENOENT;
        outcome.output = std::strerror(error);
        return outcome;
    }
    outcome.started = true;
    const Clock::time_point deadline = Clock::now() + limit;
    // The output until its end; a program (or one it started) that keeps it
    // open past the limit is not waited for.
    char buffer[4096];
    pollfd readable = {output.ReadEnd(), POLLIN, 0};
    while (!outcome.timedOut) {
        const int ready = poll(&readable, 1, std::max(0, Milliseconds(deadline - Clock::now())));
        if (ready == 0) {
            outcome.timedOut = true;
        } else if (ready > 0) {
            const ssize_t n = read(output.ReadEnd(), buffer, sizeof buffer);
            if (n > 0) {
                outcome.output.append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                break;
            }
        } else if (errno != EINTR) {
            break;
        }
    }
    int status = 0;
    pid_t ended = 0;
    while (!outcome.timedOut && (ended = waitpid(pid, &status, WNOHANG)) == 0) {
        outcome.timedOut = Clock::now() >= deadline;
        std::this_thread::sleep_for(kExitPoll);
    }
    if (outcome.timedOut) {
        kill(pid, SIGKILL);
    }
    while (ended <= 0 && (ended = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}
