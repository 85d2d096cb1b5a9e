#pragma once
// One side of a diff: a backup folder or the live box, with its files as
// the manifest or the box's list names them, read one at a time.
#include <cstddef>
#include <string>
#include <vector>

#include "catalog/Manifest.h"

class DiffSide {
public:
    // No box file a diff reads is larger; a side offering more is refused.
    static constexpr size_t kMaxFileBytes = 256 * 1024 * 1024;

    virtual ~DiffSide() = default;

    // How the diff's headers name the side ("latest~1", "box", a folder).
    virtual const std::string& Label() const = 0;
    virtual const std::vector<ManifestEntry>& Files() const = 0;
    // The file's SHA-256 in hex when known without reading it; else empty.
    virtual std::string ChecksumOf(const std::string& /*name*/) const { return ""; }
    // The file's bytes; false with the reason.
    virtual bool Read(const std::string& name, std::string* bytes, std::string* why) = 0;
};
