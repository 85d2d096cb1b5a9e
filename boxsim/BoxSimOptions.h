#pragma once
// Everything that the substitute box can be told: what it serves, how it
// answers, and the faults it can play for tests.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "box/BoxDefaults.h"
#include "catalog/Manifest.h"

struct BoxSimOptions {
    std::string folder = ".";                        // served files, manifest, stored uploads
    std::string manifestName = Manifest::kFileName;  // inside folder
    std::string listenAddress = "127.0.0.1";
    uint16_t port = box_defaults::kPort;             // 0 = any free port
    std::string password = box_defaults::kPassword;  // at most 4 characters, as the login carries
    uint16_t requiredVersion = box_defaults::kRequiredToolVersion;
    bool waitPhase = false;  // upload reply follow-up flag 2
    // Sent with status 2, then the last with waitFinalStatus; none: one
    // standard message.
    std::vector<std::string> waitMessages;
    int32_t waitFinalStatus = 3;  // 4 or more = failure
    // Non-empty: refuse every such request with this text.
    std::string refuseLogin;
    std::string refuseDump;
    std::string refuseUpload;
    bool noLoginReply = false;   // read the login request, answer nothing
    int closeAfterRecords = -1;  // close after N download records (acknowledged); -1 never
    size_t pieceSize = 0;        // send every message in pieces of this size; 0 = whole
    int pieceDelayMs = 2;        // pause between two pieces
    int ioTimeoutMs = 30000;     // longest wait for the rest of a started exchange
    // Longest wait for the next request; a client silent for longer is
    // dropped, so that it cannot keep every other client waiting. 0: no limit.
    int idleTimeoutMs = 60000;
    int maxConnections = 0;  // serve this many connections, then end; 0 = until Stop()
    // Wait this long before each message that answers the PC (every reply,
    // download record and wait-phase record), as a real box's slower
    // processor and flash do; 0 answers at once.
    int paceMs = 0;
    // Keep the bytes received from the PC for BoxSimulator::Received() (the
    // tests' option), at most recordLimit of them since the last clear.
    bool recordReceived = false;
    size_t recordLimit = 4 * 1024 * 1024;
    // Store each upload with its last byte inverted (an empty one gets a byte),
    // while answering as if all were well.
    bool corruptUploads = false;
    // A completed upload of this name is a firmware update: the box sends
    // its processing messages, then restarts (every connection closed,
    // nothing listening for updateRestartMs) and puts the files of the
    // updateResets groups back to the demo's content. Empty: no such name.
    std::string updateFile;
    int updateRestartMs = 3000;
    std::vector<std::string> updateResets;
    // Non-empty: the update's processing ends in failure with this text,
    // and the box keeps what it held (the file is not stored, no restart).
    std::string updateFails;
};
