#pragma once
// The box's address, port and password, kept in ./config/config.ini relative
// to the working directory.
#include <cstddef>
#include <string>
#include <vector>

#include "box/SettingRules.h"  // the rules its port and password follow

// What Load saw besides the values, for a reader that must not use a value
// that the record holds differently from what the file says (the client);
// the window does without it.
struct BoxSettingsReport {
    struct Line {
        int number = 0;       // the line that last gave the key; 0: the key is not in the file
        std::string problem;  // empty: the record holds the value as written
    };
    Line boxIp;
    Line port;
    Line password;
    // Why the file, which is there, cannot be used as a settings file (a
    // folder, a FIFO or device, not readable, too large); empty when it can,
    // or when there is no file.
    std::string fileProblem;
    // Lines that are read as no key but look like one written differently
    // ("BOXIP = ...", "Box_Ip:..."): the key meant, without its '='.
    struct NearMiss {
        int number = 0;
        std::string key;
    };
    std::vector<NearMiss> nearMisses;
    // Lines "KEY=..." of a key the tools do not know ("PASWORD=7351"): the key
    // as written, and the known key nearest to it, empty when none is near.
    struct UnknownKey {
        int number = 0;
        std::string key;
        std::string nearest;
    };
    std::vector<UnknownKey> unknownKeys;
};

class BoxSettings {
public:
    static constexpr size_t kTextSize = 1024;
    static constexpr const char* kPath = "./config/config.ini";
    // Three short lines; a larger file is read only this far.
    static constexpr long kMaxFileSize = 64 * 1024;

    BoxSettings();

    // True when the file opens (whatever it holds); otherwise nothing changes.
    // Only a regular file is opened (a FIFO or a device in its place would
    // never end), and at most kMaxFileSize bytes of it are read. A UTF-8 byte
    // order mark at the start of the file is skipped. With a report, also
    // says where each key was and whether its value was usable.
    bool Load(BoxSettingsReport* report = nullptr);
    // The same from another file than kPath.
    bool LoadFrom(const char* path, BoxSettingsReport* report = nullptr);
    // Rewrites the whole file; a file that cannot be written is not reported.
    // Something other than a regular file under its name is left alone.
    void Save() const;

    // Copy the text out; the buffer holds `size` bytes and the text is cut to fit.
    void GetBoxIp(char* out, size_t size) const;
    void GetPassword(char* out, size_t size) const;
    int GetPort() const { return port_; }
    // Texts longer than 1023 characters are cut.
    void SetBoxIp(const char* text);
    void SetPort(int port) { port_ = port; }
    void SetPassword(const char* text);

    const char* BoxIp() const { return boxIp_; }
    const char* Password() const { return password_; }

    // Parses one line of the file into the record; lines without a known key
    // change nothing.
    void ParseLine(const char* line);

private:
    char boxIp_[kTextSize];
    int port_;
    char password_[kTextSize];
};
