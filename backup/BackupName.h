#pragma once
// The name of a backup folder, the one grammar every front reads and writes:
//
//   HOST-YYYYMMDD-HHMMSS[-N]          a box on port 1000, the box's own port
//   HOST+PORT-YYYYMMDD-HHMMSS[-N]     a box on any other port
//
// HOST is the box's address or a box name chosen for it, with anything but
// letters, digits, '.', '-' and '_' made '_' (so it never holds '+'). PORT
// is 1..65535 without leading zeros. The stamp is a real local date and
// time. -N (2..kMaxSequence, no leading zeros) is added only by the writer,
// for a second backup of one box within one second.
#include <string>

// Which box a backup belongs to: its host (sanitized) and its port.
struct BackupBox {
    std::string host;
    int port = 0;

    // The box at `host` (an address or a chosen name, sanitized here) and `port`.
    static BackupBox Of(const std::string& host, int port);
    bool operator==(const BackupBox& other) const {
        return host == other.host && port == other.port;
    }
    bool operator!=(const BackupBox& other) const { return !(*this == other); }
    // "HOST" for port 1000, "HOST+PORT" otherwise: the folder name's start.
    std::string Stem() const;
    // "HOST:PORT", for people.
    std::string Text() const;
};

struct BackupName {
    static constexpr int kMaxSequence = 100;

    BackupBox box;
    std::string stamp;  // YYYYMMDDHHMMSS
    int sequence = 1;   // 2..kMaxSequence for a second backup within one second

    // Anything but letters, digits, '.', '-' and '_' made '_'; "_" for nothing.
    static std::string Sanitized(const std::string& host);
    // The name of a new backup of `box` now (local time).
    static BackupName Now(const BackupBox& box);
    // Reads a folder name written by Format; false for any other name,
    // and for one that names no real date and time.
    static bool Parse(const std::string& folder, BackupName* out);
    std::string Format() const;
    // "YYYY-MM-DD HH:MM:SS", for people.
    std::string TakenText() const;
    // Older first: by stamp, then sequence.
    bool IsOlderThan(const BackupName& other) const;
};
