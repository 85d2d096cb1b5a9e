#pragma once
// What a run of the icon menu tests expects of the system it runs on, from its
// command line: --platform=N (the platform class), --look=classic|flat, and
// --theme=absent|classic|other, which also sets the current-theme registry key for
// the run (and puts it back afterwards).
#include <string>

struct MenuTestConfig {
    int platform = 1;
    bool flat = false;
    std::string theme;  // empty: the key is left as it is

    // Takes the options out of argv.
    static void Parse(int& argc, char** argv);
    static const MenuTestConfig& Get();
    // The run set the classic theme.
    bool ClassicTheme() const { return theme == "classic"; }
};
