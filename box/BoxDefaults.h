#pragma once
// What a box is as it leaves the factory, in one place for the settings
// record, the substitute box, the help texts and the tests.
#include <cstdint>

#include "box/WireFormat.h"

namespace box_defaults {

// The TCP port the box listens on; the window has no way to choose another.
constexpr int kPort = 1000;
constexpr const char* kPassword = "7351";
// Only ever shown or written as a default: the client never connects to it
// unless the user names it.
constexpr const char* kAddress = "192.168.1.108";
// The lowest tool version the box accepts: this tool's own.
constexpr uint16_t kRequiredToolVersion = wire::kToolVersion;

}  // namespace box_defaults
