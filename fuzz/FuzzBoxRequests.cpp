// Plays arbitrary PC byte streams at the substitute box over real loopback
// connections: every command, in any order, well-formed or not. The first
// input byte picks a box with or without a wait phase after uploads; the
// rest is what the PC sends. Each input opens a connection, sends its bytes
// while reading what the box answers, ends its side and reads to the box's
// end. Besides what the sanitizers catch, it checks the box's answers frame
// by frame (BoxExchangeCheck) and that its folder holds the files as they
// were, except for each upload that arrived whole, and nothing else.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/RetryInterrupted.h"
#include "boxsim/BoxSimulator.h"
#include "fuzz/BoxExchangeCheck.h"
#include "fuzz/BoxFolder.h"

namespace {

// No answer for this long: the box hangs. Far above what an exchange takes,
// even when a loaded machine leaves the fuzzer a small share of its time
// (run.sh's time-out per input lies above it, so that this harness names
// the hang itself).
constexpr int kStallMs = 30000;

std::string g_root;
BoxFolder g_folder;
std::unique_ptr<BoxSimulator> g_boxes[2];  // without, with a wait phase

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "velqo_fuzz_box: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void RemoveRoot() {
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
}

// Waits at most timeoutMs in all, however often a signal cuts the wait short.
int Poll(pollfd* p, int timeoutMs) {
    using namespace std::chrono;
    const steady_clock::time_point deadline = steady_clock::now() + milliseconds(timeoutMs);
    return RetryInterrupted([&] {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        return poll(p, 1, static_cast<int>(std::max<decltype(left)>(left, 0)));
    });
}

int ConnectTo(uint16_t port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        Fail("cannot make a socket");
    }
    fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Not blocking, so that an interrupted connect simply goes on.
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        pollfd p{s, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        if ((errno != EINPROGRESS && errno != EINTR) || Poll(&p, kStallMs) <= 0 ||
            getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            Fail("cannot connect to the box");
        }
    }
    return s;
}

// Sends everything (unless the box goes first) while reading; then ends
// sending and reads to the end. True when the connection ended in a reset,
// seen by a receive or by a send: the first call to meet it takes the
// error, and later receives then only see the end.
bool Exchange(int s, const uint8_t* data, size_t size, std::vector<uint8_t>* answer) {
    size_t sent = 0;
    bool shut = false;
    bool reset = false;
    uint8_t buffer[65536];
    while (true) {
        if (sent == size && !shut) {
            shutdown(s, SHUT_WR);
            shut = true;
        }
        pollfd p{s, static_cast<short>(POLLIN | (shut ? 0 : POLLOUT)), 0};
        if (Poll(&p, kStallMs) == 0) {
            Fail("the box neither answered nor ended the connection");
        }
        if ((p.revents & POLLOUT) != 0 && !shut) {
            const ssize_t n = send(s, data + sent, size - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += static_cast<size_t>(n);
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                sent = size;  // the box has gone: nothing more goes out
                shut = true;
                reset = true;
            }
        }
        if ((p.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t n = recv(s, buffer, sizeof buffer, 0);
            if (n > 0) {
                answer->insert(answer->end(), buffer, buffer + n);
            } else if (n == 0) {
                return reset;
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                return true;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velqo-fuzz-box-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        Fail("cannot make a folder");
    }
    g_root = pattern;
    std::atexit(RemoveRoot);
    std::string error;
    if (!g_folder.Create(g_root, &error)) {
        Fail(error);
    }
    for (int wait = 0; wait < 2; ++wait) {
        BoxSimOptions options;
        options.folder = g_folder.Path();
        options.port = 0;
        options.password = BoxFolder::kPassword;
        options.waitPhase = wait == 1;
        options.ioTimeoutMs = kStallMs / 2;
        g_boxes[wait] = std::make_unique<BoxSimulator>(options);
        if (!g_boxes[wait]->Start(&error)) {
            Fail(error);
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return -1;
    }
    const bool waitPhase = (data[0] & 1) != 0;
    BoxSimulator& box = *g_boxes[waitPhase ? 1 : 0];
    const int ended = box.Stats().connectionsEnded;
    const int s = ConnectTo(box.Port());
    std::vector<uint8_t> answer;
    const bool reset = Exchange(s, data + 1, size - 1, &answer);
    close(s);
    // The folder is final once the box has let the connection go.
    if (!box.WaitFor([ended](const BoxSimStats& st) { return st.connectionsEnded > ended; },
                     kStallMs)) {
        Fail("the box did not let the connection go");
    }
    BoxFolder::Files now;
    std::string why;
    if (!g_folder.Read(&now, &why)) {
        Fail(why);
    }
    const std::vector<uint8_t> sent(data + 1, data + size);
    const std::string failure =
        BoxExchangeCheck::Run(sent, answer, reset, waitPhase, g_folder, now);
    if (!failure.empty()) {
        Fail(failure);
    }
    if (now != g_folder.Initial()) {
        g_folder.Restore();
    }
    return 0;
}
