#include "box/BoxSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "base/NearestWord.h"
#include "base/RegularFile.h"
#include "base/StdioFile.h"
#include "box/BoxDefaults.h"
#include "box/HostAddress.h"

namespace {

// The value after `key` (a name with its '=', any letter case) at the start of
// `line`, or null when the line holds another key.
const char* ValueOfKey(const char* line, const char* key) {
    for (; *key != '\0'; ++line, ++key) {
        if (std::toupper(static_cast<unsigned char>(*line)) !=
            std::toupper(static_cast<unsigned char>(*key))) {
            return nullptr;
        }
    }
    return line;
}

constexpr const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

template <typename Accept>
void CopyWhile(char* out, const char* in, Accept accept) {
    size_t n = 0;
    while (n + 1 < BoxSettings::kTextSize && in[n] != '\0' &&
           accept(static_cast<unsigned char>(in[n]))) {
        out[n] = in[n];
        ++n;
    }
    out[n] = '\0';
}

// A key's value without its line end.
std::string ValueOf(const char* text) {
    std::string value(text);
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) {
        value.pop_back();
    }
    return value;
}

std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool AllOf(const std::string& text, const char* accepted) {
    return text.find_first_not_of(accepted) == std::string::npos;
}

constexpr const char* kDigits = "0123456789";

std::string BoxIpProblem(const std::string& value) {
    if (!AllOf(value, "0123456789. ") || TrimSpaces(value).empty()) {
        return std::string("BOXIP needs a dotted IPv4 address such as ") + box_defaults::kAddress;
    }
    const HostAddress address(value);
    return address.IsValid() ? "" : "BOXIP " + address.Problem();
}

std::string PortProblem(const std::string& value) {
    int port = 0;
    return setting_rules::ReadPort(TrimSpaces(value), &port)
               ? ""
               : "PORT needs " + setting_rules::PortRule();
}

std::string PasswordProblem(const std::string& value) {
    std::string digits = value;
    while (!digits.empty() && digits.back() == ' ') {
        digits.pop_back();
    }
    if (digits.empty() || !AllOf(digits, kDigits)) {
        return "PASSWORD needs " + setting_rules::PasswordRule();
    }
    if (!setting_rules::IsPassword(digits)) {
        return "PASSWORD has more than the " + std::to_string(setting_rules::kMaxPasswordLength) +
               " digits that the login carries";
    }
    return "";
}

// Notes where a key was and whether its value is usable as written; a piece
// of a longer line is never whole.
void Check(const char* line, int number, bool whole, BoxSettingsReport* report) {
    struct Key {
        const char* name;
        BoxSettingsReport::Line* line;
        std::string (*problem)(const std::string&);
    };
    const Key keys[] = {{"BOXIP=", &report->boxIp, &BoxIpProblem},
                        {"PORT=", &report->port, &PortProblem},
                        {"PASSWORD=", &report->password, &PasswordProblem}};
    bool read = false;
    for (const Key& key : keys) {
        if (const char* value = ValueOfKey(line, key.name)) {
            key.line->number = number;
            key.line->problem =
                whole ? key.problem(ValueOf(value)) : "the line is longer than 1023 characters";
            read = true;
        }
    }
    // What stands before the value, its blanks and underscores left out.
    std::string name;
    for (const char* c = line;
         std::isalpha(static_cast<unsigned char>(*c)) || *c == ' ' || *c == '\t' || *c == '_';
         ++c) {
        if (std::isalpha(static_cast<unsigned char>(*c))) {
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        }
    }
    bool nearMiss = false;
    std::vector<std::string> known;
    for (const Key& key : keys) {
        if (!read && name + "=" == key.name) {
            report->nearMisses.push_back({number, name});
            nearMiss = true;
        }
        known.emplace_back(key.name, std::strlen(key.name) - 1);
    }
    // A word straight before '=' is meant as a key.
    const char* equals = std::strchr(line, '=');
    const std::string written = equals != nullptr ? std::string(line, equals) : "";
    const bool keyShaped =
        !written.empty() && std::all_of(written.begin(), written.end(), [](unsigned char c) {
            return std::isalnum(c) || c == '_' || c == '-' || c == '.';
        });
    if (!read && !nearMiss && keyShaped) {
        report->unknownKeys.push_back({number, written, NearestWord(name, known)});
    }
}

void CopyCut(char* out, size_t size, const char* in) {
    if (size == 0) {
        return;
    }
    const size_t n = in != nullptr ? strnlen(in, size - 1) : 0;
    std::memcpy(out, in, n);
    out[n] = '\0';
}

}  // namespace

BoxSettings::BoxSettings() : boxIp_{}, port_(box_defaults::kPort), password_{} {
    SetBoxIp(box_defaults::kAddress);
    SetPassword(box_defaults::kPassword);
}

void BoxSettings::ParseLine(const char* line) {
    if (const char* value = ValueOfKey(line, "BOXIP=")) {
        CopyWhile(boxIp_, value,
                  [](unsigned char c) { return std::isdigit(c) || c == '.' || c == ' '; });
    }
    if (const char* value = ValueOfKey(line, "PORT=")) {
        port_ = std::atoi(value);
    }
    if (const char* value = ValueOfKey(line, "PASSWORD=")) {
        CopyWhile(password_, value, [](unsigned char c) { return std::isdigit(c) != 0; });
    }
}

bool BoxSettings::Load(BoxSettingsReport* report) {
    return LoadFrom(kPath, report);
}

bool BoxSettings::LoadFrom(const char* path, BoxSettingsReport* report) {
    FileKind kind = FileKind::kMissing;
    std::error_code error;
    StdioFile file = OpenRegularFile(path, LinkRule::kFollow, true, &kind, &error);
    if (!file.IsOpen()) {
        if (report != nullptr && kind != FileKind::kMissing) {
            report->fileProblem = FileKindText(kind);
            if (error) {
                report->fileProblem += " (" + error.message() + ")";
            }
        }
        return false;
    }
    char line[kTextSize];
    int number = 1;
    bool first = true;
    long read = 0;
    // Each read stops at the limit: fgets reads at most its size less one.
    while (read < kMaxFileSize &&
           std::fgets(line, static_cast<int>(std::min<long>(sizeof line, kMaxFileSize - read + 1)),
                      file.Get()) != nullptr) {
        const char* text = line;
        // Some editors start the file with one; it would hide the first key.
        if (first && std::strncmp(text, kUtf8ByteOrderMark, 3) == 0) {
            text += 3;
        }
        first = false;
        const size_t length = std::strlen(line);
        const bool lineEnds = length > 0 && line[length - 1] == '\n';
        ParseLine(text);
        if (report != nullptr) {
            Check(text, number, lineEnds || std::feof(file.Get()) != 0, report);
        }
        if (lineEnds) {
            ++number;
        }
        read += static_cast<long>(length);
    }
    if (report != nullptr) {
        if (std::ferror(file.Get())) {
            report->fileProblem = "not readable";
        } else if (read >= kMaxFileSize && std::fgetc(file.Get()) != EOF) {
            report->fileProblem =
                "larger than " + std::to_string(kMaxFileSize) + " bytes, not a settings file";
        }
    }
    return true;
}

void BoxSettings::Save() const {
    const FileKind kind = KindOfFile(kPath, LinkRule::kFollow);
    if (kind != FileKind::kRegular && kind != FileKind::kMissing) {
        return;  // opening a FIFO for writing would wait for a reader
    }
    StdioFile file(kPath, "w");
    if (!file.IsOpen()) {
        return;
    }
    std::fprintf(file.Get(), "BOXIP=%s\n", boxIp_);
    std::fprintf(file.Get(), "PORT=%05d\n", port_);
    std::fprintf(file.Get(), "PASSWORD=%s\n", password_);
}

void BoxSettings::GetBoxIp(char* out, size_t size) const {
    CopyCut(out, size, boxIp_);
}
void BoxSettings::GetPassword(char* out, size_t size) const {
    CopyCut(out, size, password_);
}
void BoxSettings::SetBoxIp(const char* text) {
    CopyCut(boxIp_, kTextSize, text);
}
void BoxSettings::SetPassword(const char* text) {
    CopyCut(password_, kTextSize, text);
}
