#include "boxsim/DemoContent.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

struct DemoFile {
    ManifestEntry entry;
    std::string content;
};

std::string ConfigText() {
    std::string text =
        "# Box configuration\n"
        "[general]\n"
        "language=en\n"
        "timezone=+01:00\n"
        "standby=auto\n"
        "\n"
        "[video]\n"
        "resolution=1080i\n"
        "aspect=16:9\n"
        "\n"
        "[tuner]\n";
    for (int i = 1; i <= 60; ++i) {
        text += "lnb" + std::to_string(i) + "=universal,9750,10600,11700,22khz-auto\n";
    }
    return text;
}

std::string FavouritesText() {
    std::string text = "FAVOURITES v2\r\n";
    const char* names[] = {"News 24", "Sport One", "Movies HD", "Kids", "Music Live", "Docs"};
    for (int i = 0; i < 90; ++i) {
        text += std::to_string(i + 1) + ";" + names[i % 6] + " " + std::to_string(i / 6 + 1) + ";" +
                std::to_string(10700 + i * 13) + ";H;27500\r\n";
    }
    return text;
}

// Repeatable bytes of every value, so a transfer that drops or reorders
// anything shows.
std::string BinaryBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t x = seed;
    for (char& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

std::vector<DemoFile> DemoFiles() {
    return {
        {{"Settings", "config.txt", 1}, ConfigText()},
        {{"Settings", "favourites.txt", 1}, FavouritesText()},
        {{"Settings", "timers.txt", 1}, ""},
        {{"Channels", "channels.db", 2}, BinaryBytes(20000, 1)},
        {{"Channels", "satellites.db", 0}, BinaryBytes(4096, 2)},
        {{"Pictures", "bootlogo.bmp", 0}, BinaryBytes(1500, 3)},
        {{"Firmware", "update.pkg", 3}, BinaryBytes(3000, 4)},
    };
}

}  // namespace

std::vector<ManifestEntry> DemoEntries() {
    std::vector<ManifestEntry> entries;
    for (const DemoFile& f : DemoFiles()) {
        entries.push_back(f.entry);
    }
    return entries;
}

bool DemoContentOf(const std::string& name, std::string* content) {
    for (DemoFile& f : DemoFiles()) {
        if (f.entry.name == name) {
            *content = std::move(f.content);
            return true;
        }
    }
    return false;
}

bool MakeDemoFolder(const std::string& folder, const std::string& manifestName,
                    std::string* error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        *error = "cannot create folder \"" + folder + "\"";
        return false;
    }
    std::vector<DemoFile> files = DemoFiles();
    files.push_back({{"", manifestName, 0}, Manifest::Format(DemoEntries())});
    for (const DemoFile& f : files) {
        const fs::path path = fs::path(folder) / f.entry.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(f.content.data(), static_cast<std::streamsize>(f.content.size()));
        out.close();
        if (!out) {
            *error = "cannot write \"" + path.string() + "\"";
            return false;
        }
    }
    return true;
}
