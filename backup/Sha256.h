#pragma once
// SHA-256 from the platform's own library: OpenSSL's libcrypto on POSIX,
// CNG (bcrypt) on Windows. One implementation file per platform.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "base/RegularFile.h"

class Sha256 {
public:
    static constexpr size_t kDigestSize = 32;
    using Digest = std::array<uint8_t, kDigestSize>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False once the library has failed; the digest is then unusable.
    bool Update(const void* data, size_t size);
    // Ends the computation; the object is not used again afterwards.
    bool Finish(Digest* digest);

    // Lower-case hexadecimal, as sha256sum prints it.
    static std::string Hex(const Digest& digest);
    // The hex digest of bytes in memory; empty when the library failed.
    static std::string OfBytes(const std::string& bytes);
    // The hex digest of a whole file, read only when it is a regular file
    // itself: a symbolic link is not followed, a FIFO or a device never
    // opened. False when it cannot be read, with *kind (when given) saying
    // what the path is (kRegular: a read error).
    static bool OfFile(const std::filesystem::path& path, std::string* hex,
                       FileKind* kind = nullptr);

private:
    struct State;
    std::unique_ptr<State> state_;
};
