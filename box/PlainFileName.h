#pragma once
// Names that the box lists are used as file names in the working directory;
// only a plain name of at most 31 characters may be, so that nothing is ever
// read or written outside that directory. On Windows the name must also be one
// ordinary file there, and none that Windows would run or load; elsewhere a
// name that only Windows refuses is used.
#include <string>

enum class FileNameFault {
    kNone,
    // Empty, too long, "." or "..", or holding '/', '\\', ':' or a control
    // character.
    kNotPlain,
    // A name Windows refuses ("a*b"), maps to a device ("CON", "nul.txt") or
    // changes silently (a trailing dot or space: "a." is the file "a").
    kWindowsSpecial,
    // A name Windows would run or load ("git.exe", "iphlpapi.dll", "a.LNK",
    // "a.cmd. "): a box file written under it could become a program that
    // the PC starts or a library that a program there loads.
    kWindowsRunnable,
};

FileNameFault CheckFileName(const char* name);
// kNone, and on systems other than Windows the Windows-only faults too.
bool IsPlainFileName(const char* name);
// Why a name is not used here, for a person and without the name itself;
// empty when IsPlainFileName holds.
std::string UnusableNameText(const char* name);
