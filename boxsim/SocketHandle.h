#pragma once
// Owns one socket handle of the net seam; closes it when it goes.
#include "box/NetApi.h"

class SocketHandle {
public:
    SocketHandle() = default;
    explicit SocketHandle(net::Handle h) : h_(h) {}
    ~SocketHandle() { Reset(); }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    SocketHandle(SocketHandle&& other) noexcept : h_(other.h_) { other.h_ = net::kInvalidHandle; }
    SocketHandle& operator=(SocketHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = other.h_;
            other.h_ = net::kInvalidHandle;
        }
        return *this;
    }

    net::Handle Get() const { return h_; }
    bool IsValid() const { return h_ != net::kInvalidHandle; }
    void Reset() {
        if (h_ != net::kInvalidHandle) {
            net::CloseHandle(h_);
            h_ = net::kInvalidHandle;
        }
    }

private:
    net::Handle h_ = net::kInvalidHandle;
};
