#include "ui/menu/SharedMenuImages.h"

#include "framework/CBitmap.h"
#include "framework/CClientDC.h"
#include "ui/menu/MenuImageEffects.h"
#include "ui/menu/MenuPlatform.h"

namespace {

constexpr UINT kListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kListInitial = 1;
constexpr int kListGrow = 1;

// Created before the application starts, destroyed (with its images) at exit.
CImageList g_images;
std::vector<UINT> g_ids;

// Owns an icon handle for the length of a scope.
struct IconHolder {
    HICON icon;
    ~IconHolder() {
        if (icon != nullptr) {
            ::DestroyIcon(icon);
        }
    }
};

}  // namespace

CImageList& SharedMenuImages::Images() {
    return g_images;
}

std::vector<UINT>& SharedMenuImages::Ids() {
    return g_ids;
}

HIMAGELIST SharedMenuImages::List() {
    return Images().GetSafeHandle();
}

UINT SharedMenuImages::IdAt(int index) {
    return index >= 0 && index < Count() ? Ids()[static_cast<size_t>(index)] : 0;
}

int SharedMenuImages::Find(UINT id) {
    for (int k = 0; k < Count(); ++k) {
        if (Ids()[static_cast<size_t>(k)] == id) {
            return k;
        }
    }
    return -1;
}

bool SharedMenuImages::HasShadeVariants(int index) {
    return index >= 0 && index + 2 < Count() && IdAt(index) == IdAt(index + 1) &&
           IdAt(index) == IdAt(index + 2);
}

HICON SharedMenuImages::VariantIcon(HBITMAP variant, int cx, int cy) {
    CImageList scratch;
    if (!scratch.Create(cx, cy, kListFlags, kListInitial, kListGrow) ||
        scratch.Add(variant, ::GetSysColor(COLOR_BTNFACE)) < 0) {
        return nullptr;
    }
    return scratch.ExtractIcon(0, 0);
}

int SharedMenuImages::Add(CImageList& scratch, int index, UINT id, int cx, int cy) {
    if (List() == nullptr && !Images().Create(cx, cy, kListFlags, kListInitial, kListGrow)) {
        return -1;
    }
    const IconHolder icon{scratch.ExtractIcon(index, 0)};
    if (icon.icon == nullptr) {
        return -1;
    }
    const bool shaded = MenuPlatform::IsThemedXp();
    CBitmap faded;
    CBitmap shadow;
    if (shaded) {
        CClientDC screen(MenuPlatform::HostWindow());
        HDC dc = screen.GetSafeHdc();
        if (MenuImageEffects::RenderImageToBitmap(dc, scratch, index, cx, cy, faded)) {
            MenuImageEffects::MakeFadedImage(faded);
        }
        if (MenuImageEffects::RenderImageToBitmap(dc, scratch, index, cx, cy, shadow)) {
            MenuImageEffects::MakeShadowImage(shadow);
        }
    }
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const int existing = Find(id);
    if (existing >= 0) {
        Images().Replace(existing, icon.icon);
        if (shaded && HasShadeVariants(existing)) {
            const IconHolder fadedIcon{VariantIcon(faded, cx, cy)};
            const IconHolder shadowIcon{VariantIcon(shadow, cx, cy)};
            Images().Replace(existing + 1, fadedIcon.icon);
            Images().Replace(existing + 2, shadowIcon.icon);
        }
        return existing;
    }
    const int added = Images().Add(icon.icon);
    if (added < 0) {
        return -1;
    }
    Ids().push_back(id);
    // The ids stay parallel to the images: one id per image that went in.
    for (const CBitmap* variant : {&faded, &shadow}) {
        if (shaded && variant->GetSafeHandle() != nullptr &&
            Images().Add(variant->GetSafeHandle(), face) >= 0) {
            Ids().push_back(id);
        }
    }
    return added;
}
