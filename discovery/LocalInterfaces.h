#pragma once
// The PC's IPv4 interface addresses, as the system lists them (getifaddrs;
// GetAdaptersAddresses on Windows): only interfaces that are up. The thin
// platform part of the default ranges; everything it feeds is decided in
// DefaultRanges.
#include <vector>

#include "discovery/LocalInterface.h"

std::vector<LocalInterface> ListLocalInterfaces();
