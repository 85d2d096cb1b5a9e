#pragma once
// Files that come from outside (a served folder, a settings file, a backup
// someone sent) are opened only when they are what they claim to be: a
// regular file. What a path is, is looked at before it is opened, so a FIFO
// or a device is never opened for reading and cannot hang the reader; the
// open itself is checked again on the opened handle, so a path swapped in
// between is caught too. Where only a folder's own files may be read, a
// symbolic link (or on Windows any reparse point) is refused rather than
// followed; on Windows the opened file's own name must be the path's too, so
// that a link the system does not show as a reparse point (under Wine, a
// POSIX link to a file) is refused when opened, though KindOfFile cannot
// tell it. A hard link is a regular file of the folder and is read.
#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/StdioFile.h"

enum class FileKind {
    kRegular,
    kMissing,
    kLink,  // only with LinkRule::kRefuse
    kFolder,
    kSpecial,     // FIFO, device, socket
    kUnreadable,  // there, but what it is or its contents cannot be read
};

enum class LinkRule { kFollow, kRefuse };

// What a path that is not a readable regular file is, in words for a
// message: "a symbolic link", "a folder", ...
const char* FileKindText(FileKind kind);

// Why ReadRegularFile did not read a file, from the kind it gave: "larger than
// N bytes" (N the limit), "does not exist", "cannot be read", "not read: it is
// a symbolic link", ...
std::string NotReadReason(FileKind kind, size_t limit);

// What the path is, without opening it.
FileKind KindOfFile(const std::filesystem::path& path, LinkRule links);

// Opens the path for reading ("rb", or "r" with `text`) when it is a regular
// file. Otherwise returns a closed file, with *kind saying what the path is
// and, for kUnreadable, *error why.
StdioFile OpenRegularFile(const std::filesystem::path& path, LinkRule links, bool text,
                          FileKind* kind, std::error_code* error = nullptr);

// Reads the whole file into *text when it is a regular file of at most
// `limit` bytes (read in binary). Otherwise false, with *kind saying what the
// path is: kRegular then means that it is larger than `limit`.
bool ReadRegularFile(const std::filesystem::path& path, LinkRule links, size_t limit,
                     std::string* text, FileKind* kind);

// Creates the path as a new file for writing ("wb"). Fails when anything has
// that name, a dangling symbolic link included, so it never writes through a
// link. On Windows the file may be deleted while it is open (the deletion
// takes effect when it is closed), so that an interrupted run can remove it.
StdioFile CreateNewFile(const std::filesystem::path& path);
