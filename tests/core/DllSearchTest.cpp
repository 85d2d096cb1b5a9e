// Where the Windows programs load libraries from: their load configuration
// as Windows reads it from the file, and the search set at start.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/DllSearch.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Built beside this test program, where the default search looks first.
constexpr const wchar_t* kPlanted = L"velqo_planted.dll";

template <typename T>
bool ReadAt(const std::string& image, size_t offset, T* value) {
    if (offset > image.size() || image.size() - offset < sizeof(T)) {
        return false;
    }
    std::memcpy(value, image.data() + offset, sizeof(T));
    return true;
}

// The DependentLoadFlags of a 64-bit program's load configuration; -1 when
// it has none that Windows would read.
int DependentLoadFlags(const std::string& image) {
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS64 nt{};
    if (!ReadAt(image, 0, &dos) || !ReadAt(image, dos.e_lfanew, &nt) ||
        nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        return -1;
    }
    const IMAGE_DATA_DIRECTORY entry =
        nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
    constexpr size_t kFlagsEnd = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) + sizeof(WORD);
    if (entry.VirtualAddress == 0 || entry.Size < kFlagsEnd) {
        return -1;
    }
    const size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                            nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section{};
        if (!ReadAt(image, sections + i * sizeof section, &section)) {
            return -1;
        }
        const DWORD into = entry.VirtualAddress - section.VirtualAddress;
        if (entry.VirtualAddress >= section.VirtualAddress && into < section.SizeOfRawData) {
            IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
            const bool read = ReadAt(image, section.PointerToRawData + into, &config);
            return read && config.Size == entry.Size ? config.Reserved1 : -1;
        }
    }
    return -1;
}

}  // namespace

TEST(DllSearch, EveryWindowsProgramImportsFromSystem32Only) {
    for (const char* program : {"VELQO_LAN_MM", "velqo-cli", "velqo-boxsim"}) {
        const std::string image = ReadFile(SiblingProgram(program));
        ASSERT_FALSE(image.empty()) << program;
        EXPECT_EQ(DependentLoadFlags(image), LOAD_LIBRARY_SEARCH_SYSTEM32) << program;
    }
    // This test program sets none: the reading can tell.
    EXPECT_EQ(DependentLoadFlags(ReadFile(SiblingProgram("core_tests"))), -1);
}

TEST(DllSearch, APlantedLibraryIsNotLoadedOnceTheSearchIsSystem32Only) {
    const TempDir dir;  // the current folder, holding a copy too
    fs::copy_file(fs::path(SiblingProgram("core_tests")).parent_path() / kPlanted, kPlanted);
    // Found where the default search looks, in the program's folder.
    const HMODULE planted = LoadLibraryExW(kPlanted, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    ASSERT_NE(planted, nullptr);
    FreeLibrary(planted);

    ASSERT_TRUE(LoadDllsFromSystemOnly());
    EXPECT_EQ(LoadLibraryW(kPlanted), nullptr);  // nor from the current folder
    // The system's own libraries still load.
    const HMODULE system = LoadLibraryW(L"iphlpapi.dll");
    EXPECT_NE(system, nullptr);
    FreeLibrary(system);
}
