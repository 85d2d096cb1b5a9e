#include "bench/CliBench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <thread>
#include <vector>

#include "bench/OwnFolder.h"
#include "boxsim/BoxSimulator.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kFileName = "cli-bench.bin";

// A pseudo-terminal whose master side is read, and thrown away, on a thread
// of its own, as a terminal window would, so that the program never waits
// for it.
class Terminal {
public:
    bool Open() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            return false;
        }
        const char* name = ptsname(master_);
        slave_ = name != nullptr ? open(name, O_RDWR | O_NOCTTY) : -1;
        if (slave_ < 0) {
            return false;
        }
        reader_ = std::thread([this] {
            char buffer[4096];
            // Ends with an error once the last holder of the slave side has closed it.
            for (ssize_t n; (n = read(master_, buffer, sizeof buffer)) > 0;) {
                bytes_ += static_cast<size_t>(n);
            }
        });
        return true;
    }
    int Slave() const { return slave_; }
    void CloseSlave() {
        if (slave_ >= 0) {
            close(slave_);
            slave_ = -1;
        }
    }
    // Waits until everything the program wrote has been read.
    size_t Finish() {
        CloseSlave();
        if (reader_.joinable()) {
            reader_.join();
        }
        return bytes_;
    }
    ~Terminal() {
        Finish();
        if (master_ >= 0) {
            close(master_);
        }
    }

private:
    int master_ = -1;
    int slave_ = -1;
    size_t bytes_ = 0;
    std::thread reader_;
};

}  // namespace

CliBench::CliBench() = default;

CliBench::~CliBench() {
    box_.reset();
    if (!root_.empty()) {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
}

bool CliBench::Start(uint64_t size, std::string* error) {
    char pattern[] = "/tmp/velqo-cli-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        *error = "cannot make a temporary folder";
        return false;
    }
    root_ = pattern;
    fs::create_directories(root_ / "box");
    fs::create_directories(root_ / "pc");
    std::ofstream(root_ / "box" / "manifest.txt") << "Bench " << kFileName << " 0\n";
    std::vector<char> chunk(1 << 16);
    for (size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(i * 13 + 5);
    }
    std::ofstream out(root_ / "box" / kFileName, std::ios::binary);
    for (uint64_t left = size; left > 0; left -= std::min<uint64_t>(left, chunk.size())) {
        out.write(chunk.data(),
                  static_cast<std::streamsize>(std::min<uint64_t>(left, chunk.size())));
    }
    out.close();
    size_ = size;
    BoxSimOptions options;
    options.folder = (root_ / "box").string();
    options.port = 0;
    box_ = std::make_unique<BoxSimulator>(options);
    return box_->Start(error);
}

double CliBench::Download(bool onTerminal, size_t* terminalBytes, double* cpuSeconds,
                          std::string* error) {
    const fs::path target = root_ / "pc" / kFileName;
    std::error_code ec;
    fs::remove(target, ec);  // a new file every run, outside the measured time
    Terminal terminal;
    if (onTerminal && !terminal.Open()) {
        *error = "cannot open a pseudo-terminal";
        return -1;
    }
    const std::string program = (OwnFolder() / "velqo-cli").string();
    const std::string port = std::to_string(box_->Port());
    const std::string pc = (root_ / "pc").string();
    const char* argv[] = {program.c_str(), "--host",     "127.0.0.1", "--port",
                          port.c_str(),    "--password", "7351",      "-C",
                          pc.c_str(),      "get",        kFileName,   nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (onTerminal) {
        posix_spawn_file_actions_adddup2(&actions, terminal.Slave(), STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    terminal.CloseSlave();
    if (spawned != 0) {
        *error = "cannot start " + program;
        return -1;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto inSeconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    *cpuSeconds = inSeconds(usage.ru_utime) + inSeconds(usage.ru_stime);
    *terminalBytes = terminal.Finish();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || fs::file_size(target, ec) != size_) {
        *error = "velqo-cli get failed (status " + std::to_string(status) + ")";
        return -1;
    }
    return seconds;
}
