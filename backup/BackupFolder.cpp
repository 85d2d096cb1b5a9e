#include "backup/BackupFolder.h"

#include <ctime>
#include <system_error>

#include "base/AsciiCase.h"
#include "base/TextEscape.h"
#include "box/ReplacingFile.h"

namespace fs = std::filesystem;

namespace {

constexpr char kSequenceMark = '-';
constexpr size_t kDateDigits = 8;
constexpr size_t kTimeDigits = 6;

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

// The host as part of a folder name.
std::string FolderSafe(std::string text) {
    for (char& c : text) {
        if (!IsHostCharacter(c)) {
            c = '_';
        }
    }
    return text;
}

bool AllDigits(const std::string& text, size_t at, size_t count) {
    if (at + count > text.size()) {
        return false;
    }
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

int Digits(const std::string& text, size_t at, size_t count) {
    return std::stoi(text.substr(at, count));
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsRealDateTime(const std::string& stamp) {
    constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = Digits(stamp, 0, 4);
    const int month = Digits(stamp, 4, 2);
    const int day = Digits(stamp, 6, 2);
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    const int days = kDaysIn[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    // A leap second is written as second 60.
    return day <= days && Digits(stamp, 8, 2) <= 23 && Digits(stamp, 10, 2) <= 59 &&
           Digits(stamp, 12, 2) <= 60;
}

// "-YYYYMMDD-HHMMSS" in `name` from `stampAt` - 1, after a host of one character at least.
bool IsStampAt(const std::string& name, size_t stampAt) {
    return stampAt >= 2 && name[stampAt - 1] == '-' && AllDigits(name, stampAt, kDateDigits) &&
           name.size() > stampAt + kDateDigits && name[stampAt + kDateDigits] == '-' &&
           AllDigits(name, stampAt + kDateDigits + 1, kTimeDigits);
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

bool BackupFolder::ParseFolderName(const std::string& folder, NameParts* out) {
    constexpr size_t kStampLength = kDateDigits + 1 + kTimeDigits;
    // The host may hold '-' itself: the stamp is found from the end, with or
    // without a sequence number after it.
    for (const bool numbered : {false, true}) {
        size_t end = folder.size();
        int sequence = 1;
        if (numbered) {
            const size_t mark = folder.rfind(kSequenceMark);
            const std::string digits = mark == std::string::npos ? "" : folder.substr(mark + 1);
            // Written without leading zeros, from 2 up to the attempts Make makes.
            if (digits.empty() || digits.size() > 3 || digits[0] == '0' ||
                !AllDigits(digits, 0, digits.size())) {
                continue;
            }
            sequence = std::stoi(digits);
            if (sequence < 2 || sequence > kMaxFolderAttempts) {
                continue;
            }
            end = mark;
        }
        if (end < kStampLength + 2 || !IsStampAt(folder, end - kStampLength)) {
            continue;
        }
        const size_t stampAt = end - kStampLength;
        const std::string host = folder.substr(0, stampAt - 1);
        std::string stamp = folder.substr(stampAt, kDateDigits) +
                            folder.substr(stampAt + kDateDigits + 1, kTimeDigits);
        bool hostOk = true;
        for (const char c : host) {
            hostOk = hostOk && IsHostCharacter(c);
        }
        if (hostOk && IsRealDateTime(stamp)) {
            *out = {host, std::move(stamp), sequence};
            return true;
        }
    }
    return false;
}

bool BackupFolder::Make(const fs::path& into, const std::string& host, fs::path* folder,
                        std::string* why) {
    std::error_code ec;
    fs::create_directories(into, ec);
    const std::string stem = FolderName(host);
    for (int n = 1; n <= kMaxFolderAttempts; ++n) {
        const fs::path candidate =
            into / (n == 1 ? stem : stem + kSequenceMark + std::to_string(n));
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
