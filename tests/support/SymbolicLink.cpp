#include "tests/support/SymbolicLink.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

namespace {

constexpr DWORD kLnTimeoutMs = 10000;

// The POSIX path of a Windows path, when running under Wine; empty otherwise.
std::string HostPath(const std::filesystem::path& path) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name"));
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

// `ln -s` of the host: the link is made beside the folder it goes into.
bool HostLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    const std::string folder = HostPath(std::filesystem::absolute(link).parent_path());
    if (folder.empty()) {
        return false;
    }
    const std::string hostTarget =
        target.is_absolute() ? HostPath(target) : target.generic_string();
    std::wstring command = L"Z:\\bin\\ln -s " + Quoted(hostTarget) + L" " +
                           Quoted(folder + "/" + link.filename().string());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, kLnTimeoutMs);
    CloseHandle(process.hProcess);
    return true;
}

bool LinkThere(const std::filesystem::path& link) {
    return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    const DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE |
                        (std::filesystem::is_directory(link.parent_path() / target)
                             ? SYMBOLIC_LINK_FLAG_DIRECTORY
                             : 0);
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) && LinkThere(link)) {
        return true;
    }
    return HostLink(target, link) && LinkThere(link);
}

#else

#include <system_error>

bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code ec;
    std::filesystem::create_symlink(target, link, ec);
    return !ec;
}

#endif
