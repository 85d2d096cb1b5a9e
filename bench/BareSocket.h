#pragma once
// Whole-message blocking send and receive on a POSIX socket, for the bare
// loops of the benchmark.
#include <cstddef>
#include <cstdint>

#include "box/WireFormat.h"

namespace bare {

bool SendAll(int fd, const uint8_t* data, size_t size);
bool ReceiveAll(int fd, uint8_t* buffer, size_t size);
void SetNoDelay(int fd);

template <size_t N>
bool SendAll(int fd, const wire::Bytes<N>& message) {
    return SendAll(fd, message.data(), N);
}

template <size_t N>
bool ReceiveAll(int fd, wire::Bytes<N>& message) {
    return ReceiveAll(fd, message.data(), N);
}

}  // namespace bare
