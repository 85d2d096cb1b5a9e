#pragma once
// The box command protocol: login, list, dump, upload and logout, each one
// synchronous exchange of fixed-size messages over the shared BoxSocket.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/RegularFile.h"
#include "box/ReplacingFile.h"
#include "box/WireFormat.h"

class BoxSocket;
class DownloadSink;
class UploadSource;

// Receives every user-visible line (with its own "\n") and a colour code.
using LogSink = int (*)(const char* text, int color);
// Receives transfer progress, 0..100.
using ProgressSink = int (*)(int percent);
// Receives the bytes of the file moved so far and its size (-1 when the box
// does not say it: a download tells only its percentage).
using ByteProgressSink = int (*)(int64_t done, int64_t total);

// How the last Dump or Upload ended, apart from its result code: the box's
// refusals are kept apart from failures of the link and of local files.
enum class TransferOutcome {
    kDone,
    kBadName,      // not a plain file name; nothing was sent
    kRefused,      // the box refused the request
    kLinkFailed,   // a message could not be sent or did not arrive whole
    kLocalFailed,  // the local file could not be opened, created or written
    kBoxFailed,    // the box reported a failure after processing an upload
};

// One processing message of the box after an upload, as it came.
struct WaitMessage {
    std::string text;
    int32_t percent = 0;  // the box's figure; only 0..100 means one
    int32_t status = 0;   // 2 more to come, 3 done, 4 or more failed
};

class BoxSession {
public:
    static constexpr int kNotLoggedIn = 1;
    static constexpr int kLoggedIn = 2;

    // Login results.
    static constexpr int kLoginFailed = 0;
    static constexpr int kLoginOk = 1;
    static constexpr int kLoginNoReply = 2;
    // Upload result when the box reports a failed processing.
    static constexpr int kUploadBoxFailed = -1;

    explicit BoxSession(BoxSocket* socket);  // not owned
    BoxSession(const BoxSession&) = delete;
    BoxSession& operator=(const BoxSession&) = delete;

    void SetLogSink(LogSink sink) { log_ = sink; }
    void SetProgressSink(ProgressSink sink) { progress_ = sink; }
    void SetByteProgressSink(ByteProgressSink sink) { byteProgress_ = sink; }

    int Login(const char* password);
    // Fills up to 28 records and their count; on failure leaves both as they were.
    int ListFiles(wire::ListRecord* buffer, int* count);
    // The count the last list reply carried, as the box sent it: outside
    // 0..28 the reply is malformed, and the records may not be all the box has.
    int32_t LastListCount() const { return listCount_; }
    // The file of that name in the working directory; a file it replaces
    // that holds other bytes is kept as NAME~, and the log says so.
    int Dump(const char* name);
    int Upload(const char* name);
    // The same, with the file of that name in `folder` (empty: the working
    // directory); ReplacedFile::kDiscard keeps no NAME~.
    int DumpInto(const char* name, const std::filesystem::path& folder,
                 ReplacedFile replaced = ReplacedFile::kKeep);
    // Sends only a regular file (a FIFO or a device is never opened);
    // LinkRule::kRefuse sends only the folder's own file, never what a
    // symbolic link points to.
    int UploadFrom(const char* name, const std::filesystem::path& folder,
                   LinkRule links = LinkRule::kFollow);
    // The same, with the bytes taken from `source`; a source that stops the
    // upload before its last block ends it as kLocalFailed, the link given up.
    int UploadFrom(const char* name, UploadSource& source);
    // The same, with the bytes going to `sink` instead of a file; nothing
    // reaches the sink for a refused or malformed request.
    int DumpTo(const char* name, DownloadSink& sink);
    int Logout();

    int State() const { return state_; }
    // After a refused login: the box's refusal text (a wrong password), or
    // the tool version the box needs when that was the reason (else 0).
    const std::string& LoginRefusal() const { return loginRefusal_; }
    uint16_t LoginNeedsVersion() const { return loginNeedsVersion_; }
    // What came back to the last login, for a search that tells boxes from
    // other programs listening on the port: how many bytes of the reply
    // came, whether they had a box reply's shape, and the tool version the
    // reply names as the lowest the box accepts.
    struct LoginReplySeen {
        size_t bytes = 0;
        bool boxShaped = false;
        uint16_t requiredVersion = 0;
    };
    const LoginReplySeen& LastLoginReply() const { return loginReply_; }
    TransferOutcome LastOutcome() const { return outcome_; }
    // The box's processing messages after the last upload (none when it
    // had no wait phase); of a longer run the latest kKeptWaitMessages,
    // which end with the box's verdict.
    static constexpr size_t kKeptWaitMessages = 100;
    // (`struct`: where windows.h came first, its function WaitMessage hides the name.)
    const std::vector<struct WaitMessage>& LastWaitMessages() const { return waitMessages_; }
    // The box's text of the last refused login, dump or upload, as it came
    // (empty when the last dump or upload was not refused).
    const std::string& LastRefusal() const { return refusal_; }
    BoxSocket* Socket() const { return socket_; }
    // Whether, after the last transfer failed, no further one can run.
    bool LinkLost() const;

    // Logs a line through the installed sink, colour 0.
    void Log(const char* text) const;

private:
    void LogF(const char* format, ...) const;
    void Report(int percent) const;
    void ReportBytes(int64_t done, int64_t total) const;
    bool CheckName(const char* name) const;
    // Receives the refusal text that follows a refusing reply and keeps it.
    void ReceiveRefusal();
    int Finish(TransferOutcome outcome, int result);
    // Dump into `sink`, or, when it is null, into a DownloadFile in `folder`
    // made only once the box has accepted the request.
    int DumpWith(const char* name, DownloadSink* sink, const std::filesystem::path& folder,
                 ReplacedFile replaced);
    // Whole messages: TCP may deliver them in pieces. Each message must
    // complete within the socket's default time-out; a receive returns the
    // count that came, which is short when it did not.
    bool SendWhole(const uint8_t* data, size_t size);
    size_t ReceiveWhole(uint8_t* buffer, size_t size);
    template <size_t N>
    bool Send(const wire::Bytes<N>& message) {
        return SendWhole(message.data(), N);
    }
    template <size_t N>
    bool Receive(wire::Bytes<N>& message) {
        return ReceiveWhole(message.data(), N) == N;
    }
    bool SendRequest(uint8_t command, uint16_t payloadLength);
    // Reads the box's processing messages after an upload; returns the last status.
    int32_t RunWaitPhase();

    BoxSocket* socket_;  // not owned
    int state_ = kNotLoggedIn;
    std::string loginRefusal_;
    uint16_t loginNeedsVersion_ = 0;
    LoginReplySeen loginReply_;
    TransferOutcome outcome_ = TransferOutcome::kDone;
    std::string refusal_;
    std::vector<struct WaitMessage> waitMessages_;
    int32_t listCount_ = 0;
    LogSink log_ = nullptr;
    ProgressSink progress_ = nullptr;
    ByteProgressSink byteProgress_ = nullptr;
};
