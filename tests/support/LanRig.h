#pragma once
// A made-up LAN on loopback for the search's tests and bench: substitute
// boxes, silent listeners and programs that are no box, each on an address
// of its own in 127.0.0.0/8 and all on one port, as boxes on a LAN share
// port 1000. Everything lives as long as the rig.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/TestListener.h"

class LanRig {
public:
    // Boxes serve `boxFolder` (made with demo files when it has none).
    explicit LanRig(std::filesystem::path boxFolder);

    // Each false with the reason when the address cannot be listened on.
    // The first of them chooses the rig's port, a free one.
    bool AddBox(const std::string& address, BoxSimOptions options, std::string* error);
    bool AddListener(const std::string& address, TestListener::Kind kind, std::string* error);
    // A box kept busy by a client of the rig's own, logged in, so that the
    // next one waits in its listen queue without an answer.
    bool AddBusyBox(const std::string& address, std::string* error);

    uint16_t Port() const { return port_; }
    // The boxes in the order they were added, busy ones among them.
    BoxSimulator& Box(size_t index) { return *boxes_.at(index); }

private:
    std::filesystem::path boxFolder_;
    uint16_t port_ = 0;
    std::vector<std::unique_ptr<BoxSimulator>> boxes_;
    std::vector<std::unique_ptr<TestListener>> listeners_;
    std::vector<std::unique_ptr<BoxSocket>> holders_;
    std::vector<std::unique_ptr<BoxSession>> holding_;
};
