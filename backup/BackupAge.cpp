#include "backup/BackupAge.h"

namespace {

constexpr int64_t kMinute = 60;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;

struct Unit {
    int64_t seconds;
    const char* name;
};

constexpr Unit kUnits[] = {{kDay, "day"}, {kHour, "hour"}, {kMinute, "minute"}};

int Field(const std::string& stamp, size_t at, size_t length) {
    return std::stoi(stamp.substr(at, length));
}

}  // namespace

int64_t BackupAge::Seconds(const BackupName& name, std::time_t now) {
    // BackupName::Parse has checked the stamp: 14 digits of a real date.
    std::tm taken{};
    taken.tm_year = Field(name.stamp, 0, 4) - 1900;
    taken.tm_mon = Field(name.stamp, 4, 2) - 1;
    taken.tm_mday = Field(name.stamp, 6, 2);
    taken.tm_hour = Field(name.stamp, 8, 2);
    taken.tm_min = Field(name.stamp, 10, 2);
    taken.tm_sec = Field(name.stamp, 12, 2);
    taken.tm_isdst = -1;  // local time, daylight saving as it was then
    return static_cast<int64_t>(std::difftime(now, std::mktime(&taken)));
}

std::string BackupAge::Text(int64_t seconds) {
    if (seconds < 0) {
        return "dated ahead of the clock";
    }
    for (const Unit& unit : kUnits) {
        if (seconds >= unit.seconds) {
            const int64_t n = seconds / unit.seconds;
            return std::to_string(n) + " " + unit.name + (n == 1 ? "" : "s") + " old";
        }
    }
    return "under a minute old";
}
