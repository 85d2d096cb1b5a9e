#include "boxsim/SimConnection.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "boxsim/SimRecorder.h"

namespace {

// Longest single wait, so that Stop() is noticed within this time.
constexpr int kSliceMs = 50;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

SimConnection::SimConnection(SocketHandle socket, const std::atomic<bool>* stop,
                             SimRecorder* recorder, size_t pieceSize, int pieceDelayMs)
    : socket_(std::move(socket)),
      stop_(stop),
      recorder_(recorder),
      pieceSize_(pieceSize),
      pieceDelayMs_(pieceDelayMs) {
    net::SetNoDelay(socket_.Get(), true);
    net::UseBoundedWaits(socket_.Get());
}

SimConnection::~SimConnection() {
    net::ShutdownSend(socket_.Get());
}

SimConnection::Io SimConnection::WaitForRequest(int idleLimitMs) {
    const int64_t deadline = NowMs() + idleLimitMs;
    while (!Stopping()) {
        const int64_t left = deadline - NowMs();
        if (idleLimitMs > 0 && left <= 0) {
            return Io::kTimedOut;
        }
        const int slice =
            idleLimitMs > 0 ? static_cast<int>(std::min<int64_t>(left, kSliceMs)) : kSliceMs;
        const int r = net::SelectOneMs(socket_.Get(), true, slice);
        if (r > 0) {
            return Io::kOk;
        }
        if (r < 0) {
            return Io::kClosed;
        }
    }
    return Io::kStopped;
}

template <typename Step>
SimConnection::Io SimConnection::MoveUntil(size_t size, int64_t nowMs, int64_t deadlineMs,
                                           Step step) {
    size_t done = 0;
    for (int64_t now = nowMs; done < size; now = NowMs()) {
        if (Stopping()) {
            return Io::kStopped;
        }
        const int64_t left = deadlineMs - now;
        if (left <= 0) {
            return Io::kTimedOut;
        }
        const int n = step(done, static_cast<int>(std::min<int64_t>(left, kSliceMs)));
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n == 0 || (n != net::kNotReady && !net::LastErrorWasWouldBlock())) {
            return Io::kClosed;
        }
    }
    return Io::kOk;
}

SimConnection::Io SimConnection::Receive(uint8_t* buffer, size_t size, int timeoutMs) {
    const int64_t now = NowMs();
    return MoveUntil(size, now, now + timeoutMs, [&](size_t done, int waitMs) {
        const int n =
            net::ReceiveWithinMs(socket_.Get(), buffer + done, static_cast<int>(size - done),
                                 waitMs, &receiveTimeoutMs_);
        if (n > 0) {
            recorder_->AddReceived(buffer + done, static_cast<size_t>(n));
        }
        return n;
    });
}

SimConnection::Io SimConnection::Send(const uint8_t* data, size_t size, int timeoutMs) {
    const int64_t start = NowMs();
    const int64_t deadline = start + timeoutMs;
    const size_t piece = pieceSize_ > 0 ? pieceSize_ : size;
    for (size_t offset = 0; offset < size; offset += piece) {
        if (offset > 0 && !Pause(pieceDelayMs_)) {
            return Io::kStopped;
        }
        const Io r = SendAll(data + offset, std::min(piece, size - offset),
                             offset == 0 ? start : NowMs(), deadline);
        if (r != Io::kOk) {
            return r;
        }
    }
    return Io::kOk;
}

SimConnection::Io SimConnection::SendAll(const uint8_t* data, size_t size, int64_t nowMs,
                                         int64_t deadlineMs) {
    return MoveUntil(size, nowMs, deadlineMs, [&](size_t done, int waitMs) {
        return net::SendWithinMs(socket_.Get(), data + done, static_cast<int>(size - done), waitMs,
                                 &sendTimeoutMs_);
    });
}

bool SimConnection::Pause(int milliseconds) const {
    for (int left = milliseconds; left > 0; left -= kSliceMs) {
        if (Stopping()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kSliceMs)));
    }
    return !Stopping();
}
