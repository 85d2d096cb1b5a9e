#pragma once
// Names that the box lists are used as file names in the working directory;
// only a plain name of at most 31 characters may be, so that nothing is ever
// read or written outside that directory. The name must also mean the same one
// file on every system the tool runs on, as backups travel between them.

enum class FileNameFault {
    kNone,
    // Empty, too long, "." or "..", or holding a path separator, a control
    // character or another character that Windows refuses in a name.
    kNotPlain,
    // A name Windows maps to a device ("CON", "nul.txt") or changes silently
    // (a trailing dot or space: "a." is the file "a").
    kWindowsSpecial,
};

FileNameFault CheckFileName(const char* name);
bool IsPlainFileName(const char* name);
