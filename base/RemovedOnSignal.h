#pragma once
// One path registered with SignalCleanup for as long as the object lives:
// a temporary file or folder that an interrupted run removes.
#include <filesystem>
#include <utility>

#include "base/SignalCleanup.h"

class RemovedOnSignal {
public:
    RemovedOnSignal() = default;
    RemovedOnSignal(const std::filesystem::path& path, SignalCleanup::Kind kind)
        : slot_(SignalCleanup::Register(path, kind)) {}
    ~RemovedOnSignal() { Release(); }
    RemovedOnSignal(const RemovedOnSignal&) = delete;
    RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;
    RemovedOnSignal(RemovedOnSignal&& other) noexcept : slot_(std::exchange(other.slot_, -1)) {}
    RemovedOnSignal& operator=(RemovedOnSignal&& other) noexcept {
        if (this != &other) {
            Release();
            slot_ = std::exchange(other.slot_, -1);
        }
        return *this;
    }

    // False when no slot was free: the path then stays after a signal.
    bool IsRegistered() const { return slot_ >= 0; }
    // The path is no longer removed on a signal (it was put in place, or
    // removed by its owner).
    void Release() {
        if (slot_ >= 0) {
            SignalCleanup::Unregister(slot_);
            slot_ = -1;
        }
    }

private:
    int slot_ = -1;
};
