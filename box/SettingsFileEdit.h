#pragma once
// Sets keys of a settings file (config/config.ini) and keeps every other
// line as it is: comments, keys of other tools, blank lines, the byte order
// mark and the line ends. BoxSettings::Save writes the three keys alone; a
// tool that fills in one value uses this instead.
#include <filesystem>
#include <string>
#include <vector>

class SettingsFileEdit {
public:
    struct Setting {
        std::string key;  // "BOXIP", read as the settings reader reads it (any letter case)
        std::string value;
    };
    // The most of an existing file that is read; a larger one is refused.
    static constexpr size_t kMostBytes = 64 * 1024;

    // Every line that gives a key gets its new value; a key the file does
    // not give is added at its end. The file (and its folder) is made when
    // missing; an existing one must be a regular file. The new file takes the
    // old one's place whole. False with the reason, nothing changed, on failure.
    static bool Set(const std::filesystem::path& file, const std::vector<Setting>& settings,
                    std::string* why);
};
