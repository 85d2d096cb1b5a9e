#pragma once
// What the suites that run a client against a substitute box share: the test's
// own folder (the working directory while the rig lives) with a box folder
// "box" and a PC folder "pc", substitute boxes on 127.0.0.1 at free ports, and
// the arguments that point a client at one of them.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "boxsim/BoxSimulator.h"
#include "tests/support/TempDir.h"

class BackgroundProgram;

class BoxRig {
public:
    static constexpr const char* kLoopback = "127.0.0.1";
    static constexpr const char* kBoxFolder = "box";
    static constexpr const char* kPcFolder = "pc";

    BoxRig();
    BoxRig(const BoxRig&) = delete;
    BoxRig& operator=(const BoxRig&) = delete;

    // Starts a box serving `folder` (relative to the rig's); a box that cannot
    // start fails the test. Boxes live as long as the rig.
    BoxSimulator& StartBox(BoxSimOptions options = {}, const std::string& folder = kBoxFolder);
    // `-H 127.0.0.1 -p PORT -C pc` in front of a client's arguments.
    static std::vector<std::string> PointedAt(const BoxSimulator& box,
                                              std::vector<std::string> args);
    static std::vector<std::string> PointedAt(uint16_t port, std::vector<std::string> args);

    // How long velqo-boxsim may take to start, under Wine too.
    static constexpr int kProgramStartMs = 10000;

    // The port that velqo-boxsim, started as `box`, says it listens on within
    // timeoutMs; 0 when it does not, or ends first (a box that Wine could not
    // start being started again meanwhile, see BackgroundProgram::Wait).
    static uint16_t ListeningPort(BackgroundProgram& box, int timeoutMs = kProgramStartMs);

    const std::filesystem::path& Path() const { return dir_.Path(); }

private:
    TempDir dir_;
    std::vector<std::unique_ptr<BoxSimulator>> boxes_;
};
