#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/ChildProcess.h"

extern char** environ;

namespace {

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

}  // namespace

ChildOutcome ChildProcess::Run(const std::string& program, const std::vector<std::string>& args) {
    ChildOutcome outcome;
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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.WriteEnd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.WriteEnd(), STDERR_FILENO);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    output.CloseWriteEnd();
    if (error != 0) {
        outcome.notFound = error == ENOENT;
        outcome.output = std::strerror(error);
        return outcome;
    }
    outcome.started = true;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(output.ReadEnd(), buffer, sizeof buffer);
        if (n > 0) {
            outcome.output.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}
