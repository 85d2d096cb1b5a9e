#include "backup/ChecksumList.h"

#include <sstream>

#include "backup/Sha256.h"
#include "base/AsciiCase.h"
#include "base/RegularFile.h"
#include "base/TextEscape.h"
#include "box/PlainFileName.h"

namespace {

constexpr size_t kHexLength = Sha256::kDigestSize * 2;

bool IsHex(const std::string& text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ChecksumList::Load(const std::filesystem::path& path, ChecksumList* out, std::string* error) {
    std::string text;
    FileKind kind = FileKind::kMissing;
    if (!ReadRegularFile(path, LinkRule::kRefuse, kMaxFileBytes, &text, &kind)) {
        *error = NotReadReason(kind, kMaxFileBytes);
        return false;
    }
    return Parse(text, out, error);
}

bool ChecksumList::Parse(const std::string& text, ChecksumList* out, std::string* error) {
    ChecksumList result;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        // "hex", a blank, then ' ' (text) or '*' (binary), then the name. A
        // line starting with '\' carries an escaped name, which no plain name needs.
        const bool wellFormed = line.size() > kHexLength + 2 && line[kHexLength] == ' ' &&
                                (line[kHexLength + 1] == ' ' || line[kHexLength + 1] == '*') &&
                                IsHex(line.substr(0, kHexLength));
        if (!wellFormed) {
            *error = "line " + std::to_string(number) + ": expected a SHA-256 and a file name";
            return false;
        }
        ChecksumLine entry{AsciiLower(line.substr(0, kHexLength)), line.substr(kHexLength + 2)};
        const std::string quoted = "\"" + QuoteForMessage(entry.name) + "\"";
        const std::string where = "line " + std::to_string(number) + ": ";
        // A NUL byte would cut the name short wherever it is used as a C string.
        if (entry.name.find('\0') != std::string::npos) {
            *error = where + quoted + " holds a NUL byte";
            return false;
        }
        if (!IsPlainFileName(entry.name.c_str())) {
            *error = where + quoted + " is not a plain file name";
            return false;
        }
        if (result.Find(entry.name) != nullptr) {
            *error = where + quoted + " is listed twice";
            return false;
        }
        result.lines_.push_back(entry);
    }
    *out = std::move(result);
    return true;
}

std::string ChecksumList::Format(const std::vector<ChecksumLine>& lines) {
    std::string text;
    for (const ChecksumLine& l : lines) {
        text += l.hex + "  " + l.name + "\n";
    }
    return text;
}

const ChecksumLine* ChecksumList::Find(const std::string& name) const {
    for (const ChecksumLine& l : lines_) {
        if (l.name == name) {
            return &l;
        }
    }
    return nullptr;
}
