#include "box/SettingsFileEdit.h"

#include <cctype>
#include <system_error>

#include "base/RegularFile.h"
#include "box/ReplacingFile.h"

namespace {

bool GivesKey(const std::string& line, const std::string& key) {
    if (line.size() <= key.size() || line[key.size()] != '=') {
        return false;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) !=
            std::toupper(static_cast<unsigned char>(key[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SettingsFileEdit::Set(const std::filesystem::path& file, const std::vector<Setting>& settings,
                           std::string* why) {
    std::string text;
    FileKind kind = FileKind::kMissing;
    if (!ReadRegularFile(file, LinkRule::kFollow, kMostBytes, &text, &kind) &&
        kind != FileKind::kMissing) {
        *why = file.string() + ": " + NotReadReason(kind, kMostBytes);
        return false;
    }
    const std::string lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string out;
    std::vector<bool> given(settings.size(), false);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, next - start);
        // The first line's byte order mark stays in front of what it holds.
        const std::string mark =
            start == 0 && line.rfind("\xEF\xBB\xBF", 0) == 0 ? line.substr(0, 3) : "";
        const std::string bare = line.substr(mark.size());
        for (size_t i = 0; i < settings.size(); ++i) {
            if (GivesKey(bare, settings[i].key)) {
                line = mark + settings[i].key + "=" + settings[i].value + lineEnd;
                given[i] = true;
            }
        }
        out += line;
        start = next;
    }
    if (!out.empty() && out.back() != '\n') {
        out += lineEnd;
    }
    for (size_t i = 0; i < settings.size(); ++i) {
        if (!given[i]) {
            out += settings[i].key + "=" + settings[i].value + lineEnd;
        }
    }
    std::error_code ec;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    const std::filesystem::path temporary =
        file.parent_path() / ("~velqo-" + file.filename().string() + ".part");
    ReplacingFile replacing(file.string(), temporary.string());
    if (replacing.IsOpen()) {
        replacing.Write(out.data(), out.size());
    }
    if (!replacing.IsOpen() || !replacing.Commit()) {
        *why = "cannot write " + file.string();
        return false;
    }
    return true;
}
