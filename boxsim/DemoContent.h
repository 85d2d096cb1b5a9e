#pragma once
// Demo content for the substitute box: a folder with a few groups of text
// files (type 1, LF and CR LF lines), binary files (types 0 and 2, one above
// 16 KB, one an exact multiple of 1024 bytes), a file of type 3, and the
// manifest that lists them.
#include <string>
#include <vector>

#include "catalog/Manifest.h"

// The files of the demo, in list order.
std::vector<ManifestEntry> DemoEntries();

// The demo's content of `name`; false when the demo has no such file.
bool DemoContentOf(const std::string& name, std::string* content);

// Creates the folder when needed and writes the demo files and the manifest
// into it (replacing files of the same names). False with a reason on failure.
bool MakeDemoFolder(const std::string& folder, const std::string& manifestName, std::string* error);
