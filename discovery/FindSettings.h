#pragma once
// How a search asks each address.
#include <cstdint>
#include <string>

#include "box/BoxDefaults.h"

struct FindSettings {
    static constexpr int kDefaultTimeoutMs = 500;
    static constexpr int kDefaultParallel = 64;
    static constexpr int kMostParallel = 256;
    static constexpr int kLongestTimeoutMs = 60000;

    uint16_t port = box_defaults::kPort;
    // The longest wait for a connection, and for each reply of a login.
    int timeoutMs = kDefaultTimeoutMs;
    int parallel = kDefaultParallel;  // connections open at once, at most
    // Log in (with `password`, never another), list and log out: tells boxes
    // from other programs on the port. Without it nothing is sent at all.
    bool login = false;
    std::string password;
};
