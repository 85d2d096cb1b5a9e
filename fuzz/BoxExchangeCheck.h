#pragma once
// Reads one connection's two byte streams, what a PC sent the substitute box
// and what the box sent back, message by message as the protocol frames
// them, and checks the box's folder afterwards: it must hold the files as
// they were, except for each upload that arrived whole. Along the way it
// checks what the box must never do: answer out of frame, accept what needs
// a login without one, refuse a listed file it can serve, or serve other
// bytes than the file holds.
//
// A connection that the box ends while the PC's bytes are still unread ends
// in a reset, and a reset throws away whatever the box had handed to its
// socket but not yet sent: not only the last answer, any number of them.
// From the first answer missing that way the walk cannot follow the box's
// framing, so it allows what the box may have done with the rest of the
// stream: store an upload found there whole, after a login it may have had.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/BoxFolder.h"

class BoxExchangeCheck {
public:
    // `reset`: the connection ended with a reset, so the box's stream may
    // lack any part of its end. `waitPhase`: the box runs a wait phase after
    // uploads. `now`: what the folder holds after the connection. Returns
    // what the box did wrong, or "" when nothing.
    static std::string Run(const std::vector<uint8_t>& pc, const std::vector<uint8_t>& box,
                           bool reset, bool waitPhase, const BoxFolder& folder,
                           const BoxFolder::Files& now);
};
