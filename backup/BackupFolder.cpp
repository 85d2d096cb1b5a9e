#include "backup/BackupFolder.h"

#include <ctime>
#include <system_error>

#include "base/AsciiCase.h"
#include "base/TextEscape.h"
#include "box/ReplacingFile.h"

namespace fs = std::filesystem;

namespace {

// The host as part of a folder name.
std::string FolderSafe(std::string text) {
    for (char& c : text) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!keep) {
            c = '_';
        }
    }
    return text;
}

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

bool BackupFolder::IsOwnFileName(const std::string& name) {
    for (const char* own : {kManifestName, kChecksumsName, kIncompleteName}) {
        if (EqualIgnoringAsciiCase(name, own)) {
            return true;
        }
    }
    return false;
}

std::string BackupFolder::FolderName(const std::string& host) {
    return FolderSafe(host) + "-" + LocalTimeStamp();
}

bool BackupFolder::Make(const fs::path& into, const std::string& host, fs::path* folder,
                        std::string* why) {
    std::error_code ec;
    fs::create_directories(into, ec);
    const std::string stem = FolderName(host);
    for (int n = 1; n <= kMaxFolderAttempts; ++n) {
        const fs::path candidate = into / (n == 1 ? stem : stem + "-" + std::to_string(n));
        if (fs::create_directory(candidate, ec)) {
            *folder = candidate;
            return true;
        }
        if (ec) {
            break;
        }
    }
    *why = ec ? ec.message() : "";
    return false;
}

std::string BackupFolder::IncompleteText(const std::vector<Missing>& missing, size_t saved,
                                         const std::string& problem) {
    std::string text = "This backup is not complete";
    text += problem.empty() ? ".\n" : ": " + problem + ".\n";
    text += std::to_string(saved) + " file(s) are saved, listed in " + kManifestName +
            " and checked by " + kChecksumsName + ".\n";
    if (!missing.empty()) {
        text += "The box listed these files, which are not in it:\n";
    }
    for (const Missing& m : missing) {
        text += EscapeControls(m.name) + ": " + m.why + "\n";
    }
    return text;
}

bool BackupFolder::WriteText(const fs::path& folder, const char* name, const std::string& text) {
    const fs::path target = folder / name;
    const fs::path temporary = folder / (std::string("~velqo-") + name + ".part");
    ReplacingFile file(target.string(), temporary.string());
    if (!file.IsOpen()) {
        return false;
    }
    file.Write(text.data(), text.size());
    return file.Commit();
}
