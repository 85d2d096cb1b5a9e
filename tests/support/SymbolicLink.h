#pragma once
// A symbolic link for a test, made as the platform makes one. Wine's
// CreateSymbolicLinkW makes nothing; there the link is a POSIX one, made
// by the host's ln (a Windows program under Wine can start it), which is
// what a Windows program under Wine meets in a folder a user shares.
#include <filesystem>

// False when no link could be made.
bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link);
// Removes a link made so (Wine cannot remove a POSIX link: the host's rm
// does). False when it is still there.
bool RemoveSymbolicLink(const std::filesystem::path& link);
