#include "HandleCensus.h"

#include <cstdint>
#include <cstring>

#include "framework/FrameworkWin.h"

namespace {

// One entry of the GDI handle table that the process environment block points to
// (GdiSharedHandleTable, offset 0xF8 on x64): 24 bytes, the object type at byte 14.
constexpr size_t kTebPebOffset = 0x60;
constexpr size_t kPebGdiTableOffset = 0xF8;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiEntryTypeOffset = 14;
constexpr int kGdiEntries = 0x10000;
// USER handles: index i is the handle 0x20 + 2 i in its low word.
constexpr uintptr_t kFirstUserHandle = 0x20;
constexpr int kUserEntries = 0x7FF0;

// NtCurrentTeb reads the gs segment, which GCC's bounds check takes for an array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const BYTE* GdiTable() {
    // The thread environment block holds the process environment block at 0x60.
    const auto* teb = reinterpret_cast<const BYTE*>(::NtCurrentTeb());
    const BYTE* peb = nullptr;
    std::memcpy(&peb, teb + kTebPebOffset, sizeof peb);
    const BYTE* table = nullptr;
    std::memcpy(&table, peb + kPebGdiTableOffset, sizeof table);
    return table;
}
#pragma GCC diagnostic pop

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    ::EnumChildWindows(hwnd, &CountWindow, count);
    return TRUE;
}

}  // namespace

int HandleCensus::GdiObjects() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) {
        return static_cast<int>(reported);
    }
    const BYTE* table = GdiTable();
    if (table == nullptr) {
        return -1;
    }
    // Wine keeps one table per process: every used entry is ours.
    int count = 0;
    for (int i = 0; i < kGdiEntries; ++i) {
        if (table[static_cast<size_t>(i) * kGdiEntrySize + kGdiEntryTypeOffset] != 0) {
            ++count;
        }
    }
    return count;
}

int HandleCensus::Menus() {
    int count = 0;
    for (int i = 0; i < kUserEntries; ++i) {
        if (::IsMenu(reinterpret_cast<HMENU>(kFirstUserHandle + 2 * static_cast<uintptr_t>(i)))) {
            ++count;
        }
    }
    return count;
}

int HandleCensus::UserObjects() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (reported != 0) {
        return static_cast<int>(reported);
    }
    int windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&windows));
    return Menus() + windows;
}
