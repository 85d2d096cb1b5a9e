#pragma once
// The end of the program when a C++ exception reaches one of the framework's
// entry points from the window system (window, dialog and hook procedures): it
// must not unwind through the system's frames, and a program in an unknown state
// must not go on. The handlers report errors as results; an exception here is a
// fault (out of memory, a broken invariant).

namespace fw {

// The exit code of a program ended that way (EX_SOFTWARE of sysexits.h).
constexpr unsigned kExitUnexpectedFailure = 70;

// Call from a catch (...) block only. Writes what was caught and `where` to the
// standard error and the debugger, shows it in a message box, and ends the
// process with kExitUnexpectedFailure.
[[noreturn]] void EndOnUnexpectedException(const char* where) noexcept;

}  // namespace fw
