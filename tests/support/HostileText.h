#pragma once
// Texts out to take a terminal over, as a box or a file may hold them, and
// the check that printed output shows each only escaped: the table that the
// tests of every message quoting outside text run over.
#include <string>
#include <vector>

struct HostileText {
    const char* label;
    std::string text;   // as the box sends it or the file holds it
    std::string shown;  // as a message must show it
};

// Each text holds the word "pwned", so that every place it lands is found.
const std::vector<HostileText>& HostileTexts();

// Empty when `printed` shows `hostile` safely: it holds `shown`, every
// "pwned" in it stands inside `shown`, no control byte but the line feeds
// that end lines and the tabs between fields, no C1 or bidirectional control
// written as UTF-8, and no line of more than `longestLine` bytes.
// Otherwise what is wrong.
std::string UnsafeShowing(const std::string& printed, const HostileText& hostile,
                          size_t longestLine = 400);
