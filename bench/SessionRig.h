#pragma once
// What the benchmark runs: the real PC side (a BoxSession on a BoxSocket) and
// the substitute box (BoxSimulator, in-process on its own thread), beside the
// bare loops of both sides (BareClient, BareBox), all over loopback in a
// temporary folder that holds the box's files and the PC's working directory.
// Each pairing has its own connection, so runs of different pairings can
// alternate. Every measured operation is checked for success, so that a fast
// failure is never reported as a fast transfer.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BareBox.h"
#include "bench/BareClient.h"
#include "bench/Stopwatch.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"

class BoxSimulator;

class SessionRig {
public:
    // A file that the box offers; its name starts with its size in decimal,
    // which is how the bare box knows how many records to send.
    struct BoxFile {
        const char* name;
        uint64_t size;
    };

    enum class Pair {
        kSessionToBox,      // BoxSession against the substitute box: the real thing
        kBareToBareBox,     // both sides bare: the protocol's own limit
        kSessionToBareBox,  // the PC side's share
        kBareToBox,         // the substitute box's share
    };

    SessionRig();
    ~SessionRig();  // stops the boxes, leaves the working directory, removes the folder
    SessionRig(const SessionRig&) = delete;
    SessionRig& operator=(const SessionRig&) = delete;

    // Writes the box's files and manifest and the PC's upload files of the
    // same sizes, enters the PC's folder, starts the boxes and opens (and
    // logs in) one connection per pairing.
    bool Start(const BoxFile* files, size_t count, std::string* error);

    // Connect, login and list on a fresh connection to the substitute box,
    // timed from the connect to the received list; then logout and close,
    // and wait until the box has let the connection go. Negative on failure.
    double ConnectLoginList(std::string* error);
    // One dump or upload of the file by the pairing; a negative time on failure.
    Cost Transfer(Pair pair, bool download, const BoxFile& file, std::string* error);

private:
    struct Box;
    struct PcSession;

    Cost SessionDump(PcSession& pc, const BoxFile& file, std::string* error);
    Cost SessionUpload(PcSession& pc, Box* box, const BoxFile& file, std::string* error);

    std::filesystem::path root_;
    std::filesystem::path previousDir_;
    std::unique_ptr<Box> box_;       // serves the session
    std::unique_ptr<Box> bareBox_;   // serves the bare client (a box serves one at a time)
    std::unique_ptr<Box> loginBox_;  // serves the fresh connections of ConnectLoginList
    BareBox bareLoop_;
    std::unique_ptr<PcSession> toBox_;
    std::unique_ptr<PcSession> toBareLoop_;
    std::unique_ptr<PcSession> fresh_;
    BareClient bareToBareLoop_;
    BareClient bareToBox_;
};
