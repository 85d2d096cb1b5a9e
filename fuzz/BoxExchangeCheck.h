#pragma once
// Reads one connection's two byte streams, what a PC sent the substitute box
// and what the box sent back, message by message as the protocol frames
// them, and works out what the box's folder must hold afterwards: the files
// as they were, except for each upload that arrived whole. Along the way it
// checks what the box must never do: answer out of frame, accept what needs
// a login without one, refuse a listed file it can serve, or serve other
// bytes than the file holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/BoxFolder.h"

class BoxExchangeCheck {
public:
    struct Result {
        bool ok = true;
        std::string failure;  // what the box did wrong
        BoxFolder::Files expected;
        // An upload whose last reply was lost to a reset connection: its
        // target may hold either its earlier content or the upload.
        std::string undecidedName;
        std::string undecidedUpload;
    };

    // `reset`: the connection ended with a reset, so the box's stream may
    // lack its end. `waitPhase`: the box runs a wait phase after uploads.
    static Result Run(const std::vector<uint8_t>& pc, const std::vector<uint8_t>& box, bool reset,
                      bool waitPhase, const BoxFolder& folder);
};
