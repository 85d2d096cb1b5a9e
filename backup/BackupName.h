#pragma once
// The name of a backup folder, the one grammar every front reads and writes:
//
//   HOST-YYYYMMDD-HHMMSS[-N]          a box on port 1000, the box's own port
//   HOST+PORT-YYYYMMDD-HHMMSS[-N]     a box on any other port
//
// HOST is the store name (StoreName) of the box's address or of a name
// chosen for it, so it never holds '+' and two names never share it. PORT
// is 1..65535 without leading zeros. The stamp is a real local date and
// time. -N (2..kMaxSequence, no leading zeros) is added only by the writer,
// for a second backup of one box within one second.
#include <string>

// Which box a backup belongs to: its host (a store name) and its port.
struct BackupBox {
    std::string host;
    int port = 0;

    // The box at `host` (an address or a chosen name, encoded here) and `port`.
    static BackupBox Of(const std::string& host, int port);
    // The address or name the user gave, for people (raw bytes: escape them).
    std::string Name() const;
    bool operator==(const BackupBox& other) const {
        return host == other.host && port == other.port;
    }
    bool operator!=(const BackupBox& other) const { return !(*this == other); }
    // "HOST" for port 1000, "HOST+PORT" otherwise: the folder name's start.
    std::string Stem() const;
    // "NAME:PORT", for people: the name's controls escaped.
    std::string Text() const;
};

struct BackupName {
    static constexpr int kMaxSequence = 100;

    BackupBox box;
    std::string stamp;  // YYYYMMDDHHMMSS
    int sequence = 1;   // 2..kMaxSequence for a second backup within one second

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
