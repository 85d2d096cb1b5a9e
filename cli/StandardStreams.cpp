#include "cli/StandardStreams.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

constexpr int kExitFailed = 1;

// Whether everything written to the stream reached its file.
bool Written(FILE* stream) {
    const bool flushed = std::fflush(stream) == 0;
    return flushed && std::ferror(stream) == 0;
}

}  // namespace

void ReserveStandardStreams() {
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // Read-only: a write to it fails as one to a closed descriptor does.
            const int standIn = open("/dev/null", O_RDONLY);
            if (standIn >= 0 && standIn != fd) {
                dup2(standIn, fd);
                close(standIn);
            }
        }
    }
#endif
}

int FinishOutput(int status) {
    const bool outWritten = Written(stdout);
    if (!outWritten) {
        std::fputs("velqo-cli: the output could not be written\n", stderr);
    }
    const bool errWritten = Written(stderr);
    return status == 0 && (!outWritten || !errWritten) ? kExitFailed : status;
}
