#include "backup/BackupName.h"

#include <ctime>
#include <tuple>

#include "backup/StoreName.h"
#include "base/DecimalNumber.h"
#include "base/TextEscape.h"
#include "box/BoxDefaults.h"

namespace {

constexpr char kStampMark = '-';
constexpr char kPortMark = '+';
constexpr size_t kDateDigits = 8;
constexpr size_t kTimeDigits = 6;
// "-YYYYMMDD-HHMMSS" at the end of a name (before any -N).
constexpr size_t kStampPartLength = 1 + kDateDigits + 1 + kTimeDigits;
constexpr int kMaxPort = 65535;
constexpr size_t kMaxNumberDigits = 5;

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

// A decimal number as the writer writes it: digits, no leading zero; -1 otherwise.
int PlainNumber(const std::string& text) {
    long long value = 0;
    if (text.empty() || text.size() > kMaxNumberDigits || text[0] == '0' ||
        !ReadDecimal(text, 0, kMaxPort, &value)) {
        return -1;
    }
    return static_cast<int>(value);
}

// A field of digits the stamp's check has seen.
int Digits(const std::string& text, size_t at, size_t count) {
    long long value = 0;
    return ReadDecimal(text.substr(at, count), 0, kMaxPort, &value) ? static_cast<int>(value) : -1;
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

// The stamp YYYYMMDDHHMMSS when `name` ends in "-YYYYMMDD-HHMMSS" after
// something; empty otherwise.
std::string StampAtEnd(const std::string& name) {
    if (name.size() <= kStampPartLength) {
        return "";
    }
    const size_t at = name.size() - kStampPartLength;
    if (name[at] != kStampMark || !AllDigits(name, at + 1, kDateDigits) ||
        name[at + 1 + kDateDigits] != kStampMark ||
        !AllDigits(name, at + 2 + kDateDigits, kTimeDigits)) {
        return "";
    }
    return name.substr(at + 1, kDateDigits) + name.substr(at + 2 + kDateDigits, kTimeDigits);
}

// HOST or HOST+PORT, as BackupBox::Stem writes it.
bool ParseStem(const std::string& stem, BackupBox* box) {
    const size_t mark = stem.find(kPortMark);
    const std::string host = stem.substr(0, mark);
    int port = box_defaults::kPort;
    if (mark != std::string::npos) {
        port = PlainNumber(stem.substr(mark + 1));
        // The box's own port is never written.
        if (port < 1 || port > kMaxPort || port == box_defaults::kPort) {
            return false;
        }
    }
    if (!StoreName::IsStoreName(host)) {
        return false;
    }
    *box = {host, port};
    return true;
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
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

}  // namespace

BackupBox BackupBox::Of(const std::string& host, int port) {
    return {StoreName::Encode(host), port};
}

std::string BackupBox::Name() const {
    return StoreName::Decode(host);
}

std::string BackupBox::Stem() const {
    return port == box_defaults::kPort ? host : host + kPortMark + std::to_string(port);
}

std::string BackupBox::Text() const {
    return EscapeControls(Name()) + ":" + std::to_string(port);
}

BackupName BackupName::Now(const BackupBox& box) {
    return {box, LocalTimeStamp(), 1};
}

bool BackupName::Parse(const std::string& folder, BackupName* out) {
    // HOST may hold '-' itself: the stamp is found from the end. A name that
    // ends in a stamp has no -N; one that does not may have it.
    std::string head = folder;
    int sequence = 1;
    if (StampAtEnd(head).empty()) {
        const size_t mark = folder.rfind(kStampMark);
        sequence = mark == std::string::npos ? -1 : PlainNumber(folder.substr(mark + 1));
        if (sequence < 2 || sequence > kMaxSequence) {
            return false;
        }
        head = folder.substr(0, mark);
    }
    std::string stamp = StampAtEnd(head);
    BackupBox box;
    if (stamp.empty() || !IsRealDateTime(stamp) ||
        !ParseStem(head.substr(0, head.size() - kStampPartLength), &box)) {
        return false;
    }
    *out = {box, std::move(stamp), sequence};
    return true;
}

std::string BackupName::Format() const {
    std::string name = box.Stem() + kStampMark + stamp.substr(0, kDateDigits) + kStampMark +
                       stamp.substr(kDateDigits);
    if (sequence > 1) {
        name += kStampMark + std::to_string(sequence);
    }
    return name;
}

std::string BackupName::TakenText() const {
    const std::string& s = stamp;
    return s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " + s.substr(8, 2) +
           ":" + s.substr(10, 2) + ":" + s.substr(12, 2);
}

bool BackupName::IsOlderThan(const BackupName& other) const {
    return std::tie(stamp, sequence) < std::tie(other.stamp, other.sequence);
}
