#include "tests/support/SymbolicLink.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "tests/support/StartAttempts.h"

namespace {

constexpr DWORD kLnTimeoutMs = 10000;
constexpr DWORD kLnPollMs = 10;

// The POSIX path of a Windows path, when running under Wine; empty otherwise.
std::string HostPath(const std::filesystem::path& path) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    // Through void*: a FARPROC is any function to the compiler.
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (unixName == nullptr) {
        return "";
    }
    char* name = unixName(path.wstring().c_str());
    if (name == nullptr) {
        return "";
    }
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring Quoted(const std::string& text) {
    const std::filesystem::path wide(text);
    return L"\"" + wide.wstring() + L"\"";
}

// Starts a program of the host (`arguments` after its own name).
bool RunOnHost(const wchar_t* program, const std::wstring& arguments) {
    std::wstring command = std::wstring(program) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    StartAttempts attempts(std::filesystem::path(command).string());
    while (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
        if (!attempts.AgainAfterStartError(GetLastError())) {
            return false;
        }
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The host's path of a link, made from its folder's: the link itself may not be there yet.
std::string HostLinkPath(const std::filesystem::path& link) {
    const std::string folder = HostPath(std::filesystem::absolute(link).parent_path());
    return folder.empty() ? "" : folder + "/" + link.filename().string();
}

// `ln -s` of the host.
bool HostLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    const std::string path = HostLinkPath(link);
    const std::string hostTarget =
        target.is_absolute() ? HostPath(target) : target.generic_string();
    return !path.empty() &&
           RunOnHost(L"Z:\\bin\\ln", L"-s " + Quoted(hostTarget) + L" " + Quoted(path));
}

bool LinkThere(const std::filesystem::path& link) {
    return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine gives no handle to wait for a host program by, so its work is watched for.
bool LinkBecomes(const std::filesystem::path& link, bool there) {
    for (DWORD waited = 0; waited < kLnTimeoutMs; waited += kLnPollMs) {
        if (LinkThere(link) == there) {
            return true;
        }
        Sleep(kLnPollMs);
    }
    return LinkThere(link) == there;
}

}  // namespace

bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    const DWORD flags =
        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE |
        (std::filesystem::is_directory(link.parent_path() / target) ? SYMBOLIC_LINK_FLAG_DIRECTORY
                                                                    : 0);
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) && LinkThere(link)) {
        return true;
    }
    return HostLink(target, link) && LinkBecomes(link, true);
}

bool RemoveSymbolicLink(const std::filesystem::path& link) {
    // Under Wine the link is a POSIX one, which Wine's DeleteFileW leaves
    // behind while it says it is gone.
    const std::string path = HostLinkPath(link);
    if (path.empty()) {
        return DeleteFileW(link.c_str()) != 0;
    }
    return RunOnHost(L"Z:\\bin\\rm", L"-f " + Quoted(path)) && LinkBecomes(link, false);
}

#else

#include <system_error>

bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code ec;
    std::filesystem::create_symlink(target, link, ec);
    return !ec;
}

bool RemoveSymbolicLink(const std::filesystem::path& link) {
    std::error_code ec;
    std::filesystem::remove(link, ec);
    return !ec;
}

#endif
