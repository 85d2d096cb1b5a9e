#pragma once
// Reads an uploaded file back from the box, in the same session, into a
// temporary folder and compares it byte for byte with the local file (or
// into a SHA-256, against the checksum of what was sent): the protocol
// carries no checksum of its own. The folder, "~velqo-verify-PID"
// in the folder given, is made at the first read-back and goes with the object;
// it and the file read back into it are removed on an interrupting signal too
// (SignalCleanup).
#include <cstdint>
#include <filesystem>
#include <string>

#include "backup/FileReport.h"
#include "base/RemovedOnSignal.h"

class BoxSession;

class ReadBackVerifier {
public:
    explicit ReadBackVerifier(std::filesystem::path parent);
    ~ReadBackVerifier();
    ReadBackVerifier(const ReadBackVerifier&) = delete;
    ReadBackVerifier& operator=(const ReadBackVerifier&) = delete;

    // kYes when the box's copy of `name` equals the file at `uploaded`; kNo
    // when it differs; kUnknown when it could not be read back or compared.
    // `message` says what was found ("verified, ...", "VERIFY FAILED: ...",
    // "NOT VERIFIED: ...").
    Verified Verify(BoxSession& session, const std::string& name,
                    const std::filesystem::path& uploaded, std::string* message);
    // The same against the checksum and size of what was sent, read back
    // straight into a SHA-256 (nothing stored): a restore compares the box's
    // copy with the bytes it checked, never with the file as it is now.
    Verified VerifyChecksum(BoxSession& session, const std::string& name,
                            const std::string& sentHex, int64_t sentSize, std::string* message);

private:
    bool MakeArea();

    std::filesystem::path parent_;
    std::filesystem::path area_;  // empty until the first read-back
    RemovedOnSignal areaCleanup_;
};
