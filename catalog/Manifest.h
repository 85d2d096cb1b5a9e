#pragma once
// The list of files that the substitute box offers: one line per file,
// "GROUP NAME TYPE", in list order. Blank lines and lines whose first
// non-blank character is '#' are ignored; a field holding spaces is written
// in double quotes; a '#' that starts a field starts a comment.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "box/WireFormat.h"

struct ManifestEntry {
    std::string group;  // 1 to Manifest::kMaxGroupLength characters
    std::string name;   // a plain file name (IsPlainFileName)
    int32_t type = 0;
};

class Manifest {
public:
    // Its name in the substitute box's folder and in a backup folder.
    static constexpr const char* kFileName = "manifest.txt";
    // The list reply holds no more records than this.
    static constexpr size_t kMaxEntries = wire::kMaxListRecords;
    // A group's field in a list record keeps a byte for the terminating NUL.
    static constexpr size_t kMaxGroupLength = wire::kGroupNameSize - 1;
    static constexpr size_t kMaxNameLength = wire::kNameFieldSize - 1;
    // kMaxEntries lines need far less; more is not a manifest, and is not read.
    static constexpr size_t kMaxFileBytes = 64 * 1024;

    // Parses a manifest text; on failure leaves out untouched and says which
    // line is wrong and why ("line 3: ...").
    static bool Parse(const std::string& text, Manifest* out, std::string* error);
    // Reads and parses a manifest file; errors name the file.
    static bool Load(const std::string& path, Manifest* out, std::string* error);
    // Reads a manifest file's text: only a regular file of the folder (a
    // symbolic link is refused, never followed; a FIFO or a device is never
    // opened) of at most kMaxFileBytes. On failure says why, without the path.
    static bool Read(const std::filesystem::path& path, std::string* text, std::string* error);
    // The text of a manifest listing these entries (quoted where needed).
    static std::string Format(const std::vector<ManifestEntry>& entries);

    const std::vector<ManifestEntry>& Entries() const { return entries_; }
    // The first entry of that exact name (case-sensitive), or null.
    const ManifestEntry* Find(const std::string& name) const;

private:
    std::vector<ManifestEntry> entries_;
};
