#include "fuzz/BoxFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

const char* const kListed[] = {"settings.txt", "image.bin", "empty.txt", "gone.bin",
                               BoxFolder::kFolderName};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

}  // namespace

bool BoxFolder::Create(const std::string& parent, std::string* error) {
    path_ = (fs::path(parent) / "box").string();
    std::error_code ec;
    fs::create_directories(fs::path(path_) / kFolderName / "inside", ec);
    std::string image(3000, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(i * 31 + 7);
    }
    initial_ = {
        {Manifest::kFileName,
         "Config settings.txt 1\nFirmware image.bin 2\nConfig empty.txt 1\n"
         "Logs gone.bin 0\nLogs folder.bin 0\n"},
        {"settings.txt", "a=1\r\nb=2\r\n"},
        {"image.bin", image},
        {"empty.txt", ""},
    };
    for (const auto& [name, content] : initial_) {
        if (!WriteAll(fs::path(path_) / name, content)) {
            *error = "cannot write " + name;
            return false;
        }
    }
    return !ec;
}

bool BoxFolder::IsListed(const std::string& name) const {
    for (const char* listed : kListed) {
        if (name == listed) {
            return true;
        }
    }
    return false;
}

bool BoxFolder::Read(Files* files, std::string* why) const {
    files->clear();
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(path_, ec)) {
        const std::string name = e.path().filename().string();
        if (name == kFolderName) {
            if (!e.is_directory() || !fs::is_directory(e.path() / "inside") ||
                std::distance(fs::directory_iterator(e.path()), fs::directory_iterator()) != 1) {
                *why = "the folder " + name + " was changed";
                return false;
            }
        } else if (e.is_regular_file() && !e.is_symlink()) {
            (*files)[name] = ReadAll(e.path());
        } else {
            *why = "unexpected entry " + name;
            return false;
        }
    }
    return !ec;
}

void BoxFolder::Restore() const {
    Files now;
    std::string why;
    Read(&now, &why);
    for (const auto& [name, content] : now) {
        const auto it = initial_.find(name);
        if (it == initial_.end()) {
            std::error_code ec;
            fs::remove(fs::path(path_) / name, ec);
        } else if (it->second != content) {
            WriteAll(fs::path(path_) / name, it->second);
        }
    }
    for (const auto& [name, content] : initial_) {
        if (now.count(name) == 0) {
            WriteAll(fs::path(path_) / name, content);
        }
    }
}
