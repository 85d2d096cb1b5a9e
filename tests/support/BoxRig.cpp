#include "tests/support/BoxRig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "tests/support/BackgroundProgram.h"

BoxRig::BoxRig() {
    std::filesystem::create_directories(kBoxFolder);
    std::filesystem::create_directories(kPcFolder);
}

BoxSimulator& BoxRig::StartBox(BoxSimOptions options, const std::string& folder) {
    options.folder = (dir_.Path() / folder).string();
    options.port = 0;  // a free one, told by Port()
    boxes_.push_back(std::make_unique<BoxSimulator>(options));
    std::string error;
    EXPECT_TRUE(boxes_.back()->Start(&error)) << error;
    return *boxes_.back();
}

std::vector<std::string> BoxRig::PointedAt(const BoxSimulator& box, std::vector<std::string> args) {
    return PointedAt(box.Port(), std::move(args));
}

std::vector<std::string> BoxRig::PointedAt(uint16_t port, std::vector<std::string> args) {
    args.insert(args.begin(), {"-H", kLoopback, "-p", std::to_string(port), "-C", kPcFolder});
    return args;
}

uint16_t BoxRig::ListeningPort(BackgroundProgram& box, int timeoutMs) {
    const std::string marker = std::string("listening on ") + kLoopback + ":";
    const auto said = [&] { return box.Wait(0) || box.Out().find(marker) != std::string::npos; };
    if (!WaitUntil(said, timeoutMs) || box.Out().find(marker) == std::string::npos) {
        return 0;
    }
    const std::string out = box.Out();
    const long port = std::strtol(out.c_str() + out.find(marker) + marker.size(), nullptr, 10);
    return port > 0 && port <= UINT16_MAX ? static_cast<uint16_t>(port) : 0;
}
