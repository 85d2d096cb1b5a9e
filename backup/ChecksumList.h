#pragma once
// A backup's SHA256SUMS: one line per file, "<64 hex digits>  NAME", as
// sha256sum writes and `sha256sum -c` reads (a '*' in place of the second
// blank, binary mode, is read too).
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

struct ChecksumLine {
    std::string hex;  // lower-case
    std::string name;
};

class ChecksumList {
public:
    // 28 files and the manifest need far less; more is no SHA256SUMS of ours.
    static constexpr size_t kMaxFileBytes = 64 * 1024;

    // On failure says which line is wrong and why ("line 2: ...").
    static bool Parse(const std::string& text, ChecksumList* out, std::string* error);
    // Reads and parses a backup's SHA256SUMS: only a regular file of at most
    // kMaxFileBytes, never through a link. On failure says why.
    static bool Load(const std::filesystem::path& path, ChecksumList* out, std::string* error);
    static std::string Format(const std::vector<ChecksumLine>& lines);

    const std::vector<ChecksumLine>& Lines() const { return lines_; }
    // The checksum given for that name, or null.
    const ChecksumLine* Find(const std::string& name) const;

private:
    std::vector<ChecksumLine> lines_;
};
