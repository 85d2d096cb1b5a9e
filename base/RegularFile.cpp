#include "base/RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <vector>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

const char* FileKindText(FileKind kind) {
    switch (kind) {
        case FileKind::kRegular:
            return "a regular file";
        case FileKind::kMissing:
            return "missing";
        case FileKind::kLink:
            return "a symbolic link";
        case FileKind::kFolder:
            return "a folder";
        case FileKind::kSpecial:
            return "a FIFO or device, not a regular file";
        case FileKind::kUnreadable:
            break;
    }
    return "not readable";
}

std::string NotReadReason(FileKind kind, size_t limit) {
    switch (kind) {
        case FileKind::kRegular:
            return "larger than " + std::to_string(limit) + " bytes";
        case FileKind::kMissing:
            return "does not exist";
        case FileKind::kUnreadable:
            return "cannot be read";
        default:
            break;
    }
    return std::string("not read: it is ") + FileKindText(kind);
}

bool ReadRegularFile(const std::filesystem::path& path, LinkRule links, size_t limit,
                     std::string* text, FileKind* kind) {
    StdioFile file = OpenRegularFile(path, links, false, kind);
    if (!file.IsOpen()) {
        return false;
    }
    // One byte more than allowed tells a file of exactly `limit` bytes from a
    // larger one. Read a piece at a time, so that a high limit costs nothing
    // for a small file.
    constexpr size_t kPiece = 64 * 1024;
    std::string bytes;
    size_t n = 0;
    while (n <= limit) {
        bytes.resize(n + std::min(kPiece, limit + 1 - n));
        const size_t got = std::fread(bytes.data() + n, 1, bytes.size() - n, file.Get());
        n += got;
        if (n < bytes.size()) {
            break;
        }
    }
    if (std::ferror(file.Get())) {
        *kind = FileKind::kUnreadable;
        return false;
    }
    if (n > limit) {
        return false;
    }
    bytes.resize(n);
    *text = std::move(bytes);
    return true;
}

namespace {

void SetError(std::error_code* error, int code) {
    if (error != nullptr) {
        *error = std::error_code(code, std::system_category());
    }
}

}  // namespace

#ifdef _WIN32

namespace {

bool IsMissingError(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
           code == ERROR_INVALID_NAME;
}

FileKind KindOfAttributes(DWORD attributes, LinkRule links) {
    if (links == LinkRule::kRefuse && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FileKind::kLink;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kFolder : FileKind::kRegular;
}

// The open file's name from the root of its volume ("\dir\name"); empty
// when it cannot be told.
std::wstring NameOf(HANDLE handle) {
    constexpr size_t kMaxNameCharacters = 32768;
    std::vector<unsigned char> buffer(sizeof(FILE_NAME_INFO) +
                                      kMaxNameCharacters * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                      static_cast<DWORD>(buffer.size()))) {
        return L"";
    }
    return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

// What the open file is by its name: the file the path names has the name
// of the path's folder (reached as the path reaches it, links and all)
// followed by the path's last part; a file reached through a link of that
// last part has its target's name. This catches links the system does not
// show as reparse points (Wine shows a POSIX link to a file as the file).
FileKind KindByName(HANDLE handle, const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : L".";
    HANDLE folderHandle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folderHandle == INVALID_HANDLE_VALUE) {
        return FileKind::kUnreadable;
    }
    std::wstring expected = NameOf(folderHandle);
    CloseHandle(folderHandle);
    const std::wstring name = NameOf(handle);
    if (expected.empty() || name.empty()) {
        return FileKind::kUnreadable;
    }
    if (expected.back() != L'\\') {
        expected += L'\\';
    }
    expected += path.filename().wstring();
    return CompareStringOrdinal(name.c_str(), -1, expected.c_str(), -1, TRUE) == CSTR_EQUAL
               ? FileKind::kRegular
               : FileKind::kLink;
}

// Gives the handle to a C runtime stream; closes it when that fails.
StdioFile StreamOf(HANDLE handle, int flags, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        CloseHandle(handle);
        return StdioFile();
    }
    FILE* f = _fdopen(fd, mode);
    if (f == nullptr) {
        _close(fd);
    }
    return StdioFile(f);
}

}  // namespace

FileKind KindOfFile(const std::filesystem::path& path, LinkRule links) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return IsMissingError(GetLastError()) ? FileKind::kMissing : FileKind::kUnreadable;
    }
    return KindOfAttributes(attributes, links);
}

StdioFile OpenRegularFile(const std::filesystem::path& path, LinkRule links, bool text,
                          FileKind* kind, std::error_code* error) {
    *kind = KindOfFile(path, links);
    if (*kind != FileKind::kRegular) {
        return StdioFile();
    }
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (links == LinkRule::kRefuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        *kind = IsMissingError(code) ? FileKind::kMissing : FileKind::kUnreadable;
        SetError(error, static_cast<int>(code));
        return StdioFile();
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        *kind = FileKind::kSpecial;
    } else if (!GetFileInformationByHandle(handle, &info)) {
        *kind = FileKind::kUnreadable;
    } else {
        *kind = KindOfAttributes(info.dwFileAttributes, links);
    }
    if (*kind == FileKind::kRegular && links == LinkRule::kRefuse) {
        *kind = KindByName(handle, path);
    }
    if (*kind != FileKind::kRegular) {
        CloseHandle(handle);
        return StdioFile();
    }
    StdioFile file = StreamOf(handle, _O_RDONLY | (text ? _O_TEXT : _O_BINARY), text ? "r" : "rb");
    if (!file.IsOpen()) {
        *kind = FileKind::kUnreadable;
    }
    return file;
}

StdioFile CreateNewFile(const std::filesystem::path& path) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return StdioFile();
    }
    return StreamOf(handle, _O_WRONLY | _O_BINARY, "wb");
}

#else

namespace {

FileKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::kRegular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::kFolder;
    }
    return S_ISLNK(mode) ? FileKind::kLink : FileKind::kSpecial;
}

FileKind KindOfError(int code) {
    return code == ENOENT || code == ENOTDIR ? FileKind::kMissing : FileKind::kUnreadable;
}

StdioFile StreamOf(int fd, const char* mode) {
    FILE* f = fdopen(fd, mode);
    if (f == nullptr) {
        close(fd);
    }
    return StdioFile(f);
}

}  // namespace

FileKind KindOfFile(const std::filesystem::path& path, LinkRule links) {
    struct stat st {};
    const int r = links == LinkRule::kRefuse ? lstat(path.c_str(), &st) : stat(path.c_str(), &st);
    return r == 0 ? KindOfMode(st.st_mode) : KindOfError(errno);
}

StdioFile OpenRegularFile(const std::filesystem::path& path, LinkRule links, bool text,
                          FileKind* kind, std::error_code* error) {
    *kind = KindOfFile(path, links);
    if (*kind != FileKind::kRegular) {
        if (*kind == FileKind::kUnreadable) {
            SetError(error, errno);
        }
        return StdioFile();
    }
    // Non-blocking, so that a FIFO swapped in after the look above cannot
    // hold the open; the handle's own type is what counts.
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                      (links == LinkRule::kRefuse ? O_NOFOLLOW : 0);
    const int fd = open(path.c_str(), flags);
    if (fd < 0) {
        *kind = errno == ELOOP ? FileKind::kLink : KindOfError(errno);
        SetError(error, errno);
        return StdioFile();
    }
    struct stat st {};
    *kind = fstat(fd, &st) == 0 ? KindOfMode(st.st_mode) : FileKind::kUnreadable;
    const int status = fcntl(fd, F_GETFL);
    if (*kind != FileKind::kRegular || status < 0 ||
        fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        close(fd);
        if (*kind == FileKind::kRegular) {
            *kind = FileKind::kUnreadable;
        }
        return StdioFile();
    }
    StdioFile file = StreamOf(fd, text ? "r" : "rb");
    if (!file.IsOpen()) {
        *kind = FileKind::kUnreadable;
    }
    return file;
}

StdioFile CreateNewFile(const std::filesystem::path& path) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        return StdioFile();
    }
    return StreamOf(fd, "wb");
}

#endif
