// Feeds arbitrary bytes to the settings file reader as config/config.ini,
// as a user's editor may leave it. Besides what the sanitizers catch, it
// checks that the values stay within what the record can hold, that the
// report's verdicts hold for the values read, and that reading with a
// report reads the same values as the window's plain read.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "box/BoxSettings.h"

namespace {

std::string g_root;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "velqo_fuzz_settings: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void Expect(bool condition, const char* what) {
    if (!condition) {
        Fail(what);
    }
}

void RemoveRoot() {
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
}

bool OnlyOf(const char* text, const char* accepted) {
    return std::strspn(text, accepted) == std::strlen(text);
}

void CheckLine(const BoxSettingsReport::Line& line, int lines) {
    Expect(line.number >= 0 && line.number <= lines, "a line number outside the file");
    Expect(line.number > 0 || line.problem.empty(), "a problem with a key that is not there");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velqo-fuzz-settings-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        Fail("cannot make the working directory");
    }
    g_root = pattern;
    std::atexit(RemoveRoot);
    std::filesystem::create_directories("config");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(BoxSettings::kPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    int lines = 1;
    for (size_t i = 0; i < size; ++i) {
        lines += data[i] == '\n' ? 1 : 0;
    }
    BoxSettings plain;
    BoxSettings reported;
    BoxSettingsReport report;
    Expect(plain.Load(), "the file did not open");
    Expect(reported.Load(&report), "the file did not open with a report");

    Expect(std::strlen(reported.BoxIp()) < BoxSettings::kTextSize, "address overruns");
    Expect(std::strlen(reported.Password()) < BoxSettings::kTextSize, "password overruns");
    Expect(OnlyOf(reported.BoxIp(), "0123456789. "), "address holds other characters");
    Expect(OnlyOf(reported.Password(), "0123456789"), "password holds other characters");
    Expect(std::strcmp(plain.BoxIp(), reported.BoxIp()) == 0, "the report changed the address");
    Expect(plain.GetPort() == reported.GetPort(), "the report changed the port");
    Expect(std::strcmp(plain.Password(), reported.Password()) == 0,
           "the report changed the password");

    CheckLine(report.boxIp, lines);
    CheckLine(report.port, lines);
    CheckLine(report.password, lines);
    if (report.boxIp.number > 0 && report.boxIp.problem.empty()) {
        Expect(std::strspn(reported.BoxIp(), " ") < std::strlen(reported.BoxIp()),
               "a usable address is empty");
    }
    if (report.port.number > 0 && report.port.problem.empty()) {
        Expect(reported.GetPort() >= 1 && reported.GetPort() <= 65535, "a usable port is not one");
    }
    if (report.password.number > 0 && report.password.problem.empty()) {
        const size_t n = std::strlen(reported.Password());
        Expect(n >= 1 && n <= 4, "a usable password does not fit the login");
    }
    return 0;
}
