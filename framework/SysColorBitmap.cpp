#include "framework/SysColorBitmap.h"

#include <cstring>
#include <vector>

#include "framework/ScopedSelection.h"

namespace {

struct ColorMapping {
    COLORREF from;  // as stored in a colour table: 0x00RRGGBB
    int sysColor;
};

constexpr ColorMapping kMappings[] = {
    {0x000000, COLOR_BTNTEXT},
    {0x808080, COLOR_BTNSHADOW},
    {0xC0C0C0, COLOR_BTNFACE},
    {0xFFFFFF, COLOR_BTNHIGHLIGHT},
};

// The resource's bytes, or an empty span when it cannot be loaded.
struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes Load(HINSTANCE instance, HRSRC resource) {
    if (resource == nullptr) {
        return {};
    }
    HGLOBAL global = ::LoadResource(instance, resource);
    const void* data = global != nullptr ? ::LockResource(global) : nullptr;
    if (data == nullptr) {
        return {};
    }
    return {static_cast<const BYTE*>(data), ::SizeofResource(instance, resource)};
}

// The header, when the resource holds a whole one of a kind GDI reads.
bool ReadHeader(const ResourceBytes& bytes, BITMAPINFOHEADER* header) {
    if (bytes.size < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    std::memcpy(header, bytes.data, sizeof(BITMAPINFOHEADER));
    return header->biSize >= sizeof(BITMAPINFOHEADER) && header->biSize <= bytes.size &&
           header->biWidth > 0 && header->biHeight != 0 && header->biPlanes == 1;
}

int ColorCount(const BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0) {
        return static_cast<int>(header.biClrUsed);
    }
    return header.biBitCount <= 8 ? 1 << header.biBitCount : 0;
}

}  // namespace

int AfxBitmapResourceColorCount(HINSTANCE instance, HRSRC resource) {
    BITMAPINFOHEADER header{};
    if (!ReadHeader(Load(instance, resource), &header)) {
        return -1;
    }
    return ColorCount(header);
}

HBITMAP AfxLoadSysColorBitmap(HINSTANCE instance, HRSRC resource) {
    const ResourceBytes bytes = Load(instance, resource);
    BITMAPINFOHEADER header{};
    if (!ReadHeader(bytes, &header) || header.biCompression != BI_RGB) {
        return nullptr;
    }
    const int colors = ColorCount(header);
    if (colors <= 0 || colors > 256) {
        return nullptr;
    }
    const size_t infoSize = header.biSize + static_cast<size_t>(colors) * sizeof(RGBQUAD);
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t stride = ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    if (infoSize > bytes.size || stride * static_cast<size_t>(height) > bytes.size - infoSize) {
        return nullptr;
    }
    // A private copy of header and colour table, mapped to the system colours.
    std::vector<BYTE> info(bytes.data, bytes.data + infoSize);
    auto* table = reinterpret_cast<RGBQUAD*>(info.data() + header.biSize);
    for (int i = 0; i < colors; ++i) {
        const COLORREF stored =
            RGB(table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed);  // 0x00RRGGBB
        for (const ColorMapping& m : kMappings) {
            if (stored == m.from) {
                const COLORREF sys = ::GetSysColor(m.sysColor);
                table[i] = RGBQUAD{GetBValue(sys), GetGValue(sys), GetRValue(sys), 0};
                break;
            }
        }
    }
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, header.biWidth, height);
    HDC memory = bitmap != nullptr ? ::CreateCompatibleDC(screen) : nullptr;
    bool drawn = false;
    if (memory != nullptr) {
        {
            const ScopedSelection bitmapIn(memory, bitmap);
            drawn = bitmapIn.IsSelected() &&
                    ::StretchDIBits(memory, 0, 0, header.biWidth, height, 0, 0, header.biWidth,
                                    height, bytes.data + infoSize,
                                    reinterpret_cast<const BITMAPINFO*>(info.data()),
                                    DIB_RGB_COLORS, SRCCOPY) != 0;
        }
        ::DeleteDC(memory);
    }
    ::ReleaseDC(nullptr, screen);
    if (!drawn && bitmap != nullptr) {
        ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}
