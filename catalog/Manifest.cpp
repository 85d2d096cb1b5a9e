#include "catalog/Manifest.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "base/RegularFile.h"
#include "base/TextEscape.h"
#include "box/PlainFileName.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits one line into fields; false with a reason on an unterminated quote
// or a quote glued to other text.
bool SplitFields(const std::string& line, std::vector<std::string>* fields, std::string* why) {
    size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i == line.size() || line[i] == '#') {
            return true;
        }
        std::string field;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos) {
                *why = "missing closing quote";
                return false;
            }
            field = line.substr(i + 1, close - i - 1);
            i = close + 1;
            if (i < line.size() && !IsBlank(line[i])) {
                *why = "text right after a closing quote";
                return false;
            }
        } else {
            const size_t start = i;
            while (i < line.size() && !IsBlank(line[i])) {
                if (line[i] == '"') {
                    *why = "quote inside a field";
                    return false;
                }
                ++i;
            }
            field = line.substr(start, i - start);
        }
        fields->push_back(field);
    }
}

bool ParseType(const std::string& text, int32_t* type) {
    if (text.empty()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool sign = i == 0 && (c == '-' || c == '+') && text.size() > 1;
        if (!sign && (c < '0' || c > '9')) {
            return false;
        }
    }
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || v < std::numeric_limits<int32_t>::min() ||
        v > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    *type = static_cast<int32_t>(v);
    return true;
}

bool HasControlCharacter(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return true;
        }
    }
    return false;
}

bool NeedsQuotes(const std::string& field) {
    return field.empty() || field[0] == '#' || field.find_first_of(" \t") != std::string::npos;
}

}  // namespace

bool Manifest::Parse(const std::string& text, Manifest* out, std::string* error) {
    Manifest result;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);  // the byte order mark some editors write
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> fields;
        std::string why;
        if (!SplitFields(line, &fields, &why)) {
            return fail(why);
        }
        if (fields.empty()) {
            continue;
        }
        if (fields.size() != 3) {
            return fail("expected GROUP NAME TYPE, found " + std::to_string(fields.size()) +
                        " field(s)");
        }
        ManifestEntry entry;
        entry.group = fields[0];
        entry.name = fields[1];
        // A NUL byte would cut the name short wherever it is used as a C string.
        for (const std::string* field : {&entry.group, &entry.name}) {
            if (field->find('\0') != std::string::npos) {
                return fail("\"" + QuoteForMessage(*field) + "\" holds a NUL byte");
            }
        }
        if (entry.group.empty() || entry.group.size() > kMaxGroupLength) {
            return fail("group name \"" + QuoteForMessage(entry.group) + "\" must have 1 to " +
                        std::to_string(kMaxGroupLength) + " bytes");
        }
        if (HasControlCharacter(entry.group)) {
            return fail("group name \"" + QuoteForMessage(entry.group) +
                        "\" holds a control character");
        }
        if (CheckFileName(entry.name.c_str()) == FileNameFault::kNotPlain) {
            return fail("file name \"" + QuoteForMessage(entry.name) +
                        "\" must be a plain name of 1 to " + std::to_string(kMaxNameLength) +
                        " characters without / \\ :");
        }
        if (!IsPlainFileName(entry.name.c_str())) {  // a name only Windows refuses
            return fail("file name \"" + QuoteForMessage(entry.name) +
                        "\": " + UnusableNameText(entry.name.c_str()));
        }
        if (!ParseType(fields[2], &entry.type)) {
            return fail("type \"" + QuoteForMessage(fields[2]) +
                        "\" is not a decimal 32-bit number");
        }
        if (result.entries_.size() == kMaxEntries) {
            const std::string most = std::to_string(kMaxEntries);
            return fail("more than " + most + " files; the box lists at most " + most);
        }
        result.entries_.push_back(entry);
    }
    *out = std::move(result);
    return true;
}

bool Manifest::Load(const std::string& path, Manifest* out, std::string* error) {
    std::string text;
    if (!Read(path, &text, error)) {
        *error = QuoteForMessage(path) + ": " + *error;
        return false;
    }
    if (!Parse(text, out, error)) {
        *error = QuoteForMessage(path) + ": " + *error;
        return false;
    }
    return true;
}

bool Manifest::Read(const std::filesystem::path& path, std::string* text, std::string* error) {
    FileKind kind = FileKind::kMissing;
    if (ReadRegularFile(path, LinkRule::kRefuse, kMaxFileBytes, text, &kind)) {
        return true;
    }
    *error =
        NotReadReason(kind, kMaxFileBytes) + (kind == FileKind::kRegular ? ", not a manifest" : "");
    return false;
}

std::string Manifest::Format(const std::vector<ManifestEntry>& entries) {
    std::string text = "# GROUP  NAME  TYPE   (one file per line; \"quotes\" around spaces)\n";
    for (const ManifestEntry& e : entries) {
        for (const std::string* field : {&e.group, &e.name}) {
            text += NeedsQuotes(*field) ? "\"" + *field + "\"" : *field;
            text += "  ";
        }
        text += std::to_string(e.type) + "\n";
    }
    return text;
}

const ManifestEntry* Manifest::Find(const std::string& name) const {
    for (const ManifestEntry& e : entries_) {
        if (e.name == name) {
            return &e;
        }
    }
    return nullptr;
}
