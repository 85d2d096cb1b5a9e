// The icon menu tests' entry: reads the expectations, sets the theme key that the
// run asks for before anything reads it and a colour scheme of distinct colours,
// runs the tests and restores both.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <optional>
#include <string>

#include "MenuTestConfig.h"
#include "framework/FrameworkWin.h"

namespace {

constexpr char kThemeKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";
// Case differs from the name the test looks for: the comparison is case-blind.
constexpr char kClassicPath[] = "C:\\WINDOWS\\Resources\\Themes\\windows classic.THEME";
constexpr char kOtherPath[] = "C:\\WINDOWS\\Resources\\Themes\\Luna.theme";

MenuTestConfig g_config;

// Wine's default colours make the menu, the window, the button highlight and the
// highlighted text all white, and the grey text the button shadow: a run paints
// with a scheme where every colour the menu uses is distinct, and restores the
// user's afterwards.
struct SchemeColor {
    int index;
    COLORREF color;
};
constexpr SchemeColor kScheme[] = {
    {COLOR_MENU, RGB(250, 248, 240)},          {COLOR_MENUTEXT, RGB(0, 0, 0)},
    {COLOR_BTNFACE, RGB(236, 233, 216)},       {COLOR_BTNSHADOW, RGB(172, 168, 153)},
    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},  {COLOR_HIGHLIGHT, RGB(49, 106, 197)},
    {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 230)}, {COLOR_GRAYTEXT, RGB(120, 120, 130)},
    {COLOR_WINDOW, RGB(252, 252, 252)},        {COLOR_3DLIGHT, RGB(241, 239, 226)},
    {COLOR_BTNTEXT, RGB(10, 10, 10)},
};
constexpr int kSchemeSize = static_cast<int>(std::size(kScheme));

class SchemeScope {
public:
    SchemeScope() {
        for (int i = 0; i < kSchemeSize; ++i) {
            m_nIndices[i] = kScheme[i].index;
            m_crSaved[i] = ::GetSysColor(kScheme[i].index);
            m_crWanted[i] = kScheme[i].color;
        }
        ::SetSysColors(kSchemeSize, m_nIndices, m_crWanted);
    }
    ~SchemeScope() { ::SetSysColors(kSchemeSize, m_nIndices, m_crSaved); }

private:
    INT m_nIndices[kSchemeSize];
    COLORREF m_crSaved[kSchemeSize];
    COLORREF m_crWanted[kSchemeSize];
};

std::optional<std::string> ReadTheme() {
    char value[260] = {};
    LONG size = sizeof value;
    if (::RegQueryValueA(HKEY_CURRENT_USER, kThemeKey, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(value);
}

void WriteTheme(const std::optional<std::string>& value) {
    if (!value) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kThemeKey);
        return;
    }
    ::RegSetValueA(HKEY_CURRENT_USER, kThemeKey, REG_SZ, value->c_str(),
                   static_cast<DWORD>(value->size()));
}

}  // namespace

void MenuTestConfig::Parse(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--platform=", 0) == 0) {
            g_config.platform = std::stoi(arg.substr(11));
        } else if (arg == "--look=flat") {
            g_config.flat = true;
        } else if (arg == "--look=classic") {
            g_config.flat = false;
        } else if (arg.rfind("--theme=", 0) == 0) {
            g_config.theme = arg.substr(8);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

const MenuTestConfig& MenuTestConfig::Get() {
    return g_config;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    MenuTestConfig::Parse(argc, argv);
    const std::optional<std::string> before = ReadTheme();
    const std::string& theme = g_config.theme;
    if (theme == "absent") {
        WriteTheme(std::nullopt);
    } else if (theme == "classic") {
        WriteTheme(kClassicPath);
    } else if (theme == "other") {
        WriteTheme(kOtherPath);
    }
    int result = 0;
    {
        SchemeScope scheme;
        result = RUN_ALL_TESTS();
    }
    if (!theme.empty()) {
        WriteTheme(before);
    }
    return result;
}
