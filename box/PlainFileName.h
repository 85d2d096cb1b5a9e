#pragma once
// Names that the box lists are used as file names in the working directory;
// only a plain name of at most 31 characters may be, so that nothing is ever
// read or written outside that directory. On Windows the name must also be one
// ordinary file there; elsewhere a name that only Windows refuses is used.

enum class FileNameFault {
    kNone,
    // Empty, too long, "." or "..", or holding '/', '\\', ':' or a control
    // character.
    kNotPlain,
    // A name Windows refuses ("a*b"), maps to a device ("CON", "nul.txt") or
    // changes silently (a trailing dot or space: "a." is the file "a").
    kWindowsSpecial,
};

FileNameFault CheckFileName(const char* name);
// kNone, and on systems other than Windows kWindowsSpecial too.
bool IsPlainFileName(const char* name);
