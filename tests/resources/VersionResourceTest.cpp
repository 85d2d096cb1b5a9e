// The About string, the version resource and the manifest of the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cwctype>
#include <string>
#include <vector>

#include "base/Version.h"
#include "resource.h"

namespace {

const HMODULE kModule = GetModuleHandleW(nullptr);

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) {
        return {};
    }
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(VersionResourceTest, AboutMenuString) {
    wchar_t text[128] = {};
    EXPECT_EQ(LoadStringW(kModule, IDS_ABOUTBOX, text, 128), 22);
    EXPECT_STREQ(text, L"&About VELQO_LAN_MM...");
}

TEST(VersionResourceTest, VersionReadsBack) {
    wchar_t exe[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(exe, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(VersionString(block, L"ProductName"), L"VELQO_LAN_MM");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"" VELQO_VERSION_TEXT);
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"" VELQO_VERSION_TEXT);
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"VELQO_LAN_MM.exe");
}

TEST(VersionResourceTest, ManifestAsksForCommonControlsSix) {
    HRSRC info = FindResourceW(kModule, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(info, nullptr);
    const auto* p = static_cast<const char*>(LockResource(LoadResource(kModule, info)));
    std::string manifest(p, SizeofResource(kModule, info));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);

    // The loader honoured it: the controls come from the side-by-side
    // assembly of version 6, not from the system's version 5 library.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
    std::wstring lower(path);
    for (wchar_t& ch : lower) {
        ch = towlower(ch);
    }
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << std::string(lower.begin(), lower.end());
}
