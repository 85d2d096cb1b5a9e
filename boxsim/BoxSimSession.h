#pragma once
// The box's side of the command protocol on one connection: reads each
// request, answers it as a box does, and plays the faults it is told to.
#include <cstdint>
#include <string>
#include <vector>

#include "box/WireFormat.h"
#include "boxsim/SimConnection.h"

struct BoxSimOptions;
class Manifest;
class ServedFile;
class SimRecorder;

class BoxSimSession {
public:
    // Refusal texts of the box's own choosing.
    static constexpr const char* kWrongPassword = "Wrong password";
    static constexpr const char* kNotLoggedIn = "Not logged in";
    static constexpr const char* kBadName = "Invalid file name";
    static constexpr const char* kNotListed = "No such file";
    static constexpr const char* kMissingOnBox = "File is listed but missing on the box";
    static constexpr const char* kReservedName = "Name reserved by the box";
    static constexpr const char* kCannotStore = "Cannot store file";

    // All four are not owned and outlive the session.
    BoxSimSession(const BoxSimOptions& options, const Manifest& manifest, SimConnection& connection,
                  SimRecorder& recorder);
    BoxSimSession(const BoxSimSession&) = delete;
    BoxSimSession& operator=(const BoxSimSession&) = delete;

    // Serves requests until the connection ends; returns how it ended.
    std::string Run();
    // Whether it ended because an update is done and the box is to restart.
    bool RestartRequested() const { return restart_; }

private:
    using Io = SimConnection::Io;

    // Each handler returns false when the connection is to end (end_ says why).
    bool HandleLogin();
    bool HandleList();
    bool HandleDump();
    bool HandleUpload();
    // Sends a message that answers the PC after the --pace-ms wait, which a
    // stop request cuts short (kStopped).
    Io Answer(const uint8_t* data, size_t size);
    template <size_t N>
    Io Answer(const wire::Bytes<N>& message) {
        return Answer(message.data(), N);
    }
    // Answers with a reply and the message that belongs to it; false when the
    // connection is to end.
    bool AnswerWith(const wire::Reply& reply, const uint8_t* message, size_t size);
    template <size_t N>
    bool AnswerWith(const wire::Reply& reply, const wire::Bytes<N>& message) {
        return AnswerWith(reply, message.data(), N);
    }
    bool SendRefusal(const wire::Reply& reply, const std::string& text);
    bool SendDataRecords(const std::string& name, ServedFile& file);
    bool RunWaitPhase(const std::string& name, bool stored);
    // The update's processing; on success the connection ends for the restart.
    bool RunUpdate(const std::string& name, bool stored);
    bool SendWaitMessages(const std::string& name, const std::vector<std::string>& messages,
                          int32_t finalStatus);
    std::string UploadRefusal(const std::string& name) const;
    bool Lost(Io io);
    bool CloseByBox(const std::string& why);

    const BoxSimOptions& options_;  // not owned
    const Manifest& manifest_;      // not owned
    SimConnection& connection_;     // not owned
    SimRecorder& recorder_;         // not owned
    bool loggedIn_ = false;
    bool restart_ = false;
    std::string end_;
};
