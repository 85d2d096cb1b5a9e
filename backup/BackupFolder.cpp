#include "backup/BackupFolder.h"

#include "base/AsciiCase.h"
#include "base/TextEscape.h"
#include "box/ReplacingFile.h"

namespace fs = std::filesystem;

bool BackupFolder::IsOwnFileName(const std::string& name) {
    for (const char* own : {kManifestName, kChecksumsName, kIncompleteName}) {
        if (EqualIgnoringAsciiCase(name, own)) {
            return true;
        }
    }
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
