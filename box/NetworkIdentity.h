#pragma once
// The PC's own host name and address, which tell whether it has a network.
#include <string>

// 0 and the host name; else the socket library's error code and "Not available".
int GetLocalHostName(std::string* text);
// 0 and the first IPv4 address as dotted text; else the error code and an
// empty text. A name that resolves to no address leaves the text as it was.
int GetHostAddress(const char* name, std::string* text);
