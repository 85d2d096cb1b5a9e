#pragma once
// The one image list that every icon menu of the process draws its item images
// from, keyed by command id. In the flat look an image is stored with two shade
// variants right after it (faded, then shadow), all three under the same id.
// Images are never removed; adding a command's image again replaces it in place.
// User-interface thread only.
#include <vector>

#include "framework/CImageList.h"

class SharedMenuImages {
public:
    // The list (null before the first image was added). Not owned.
    static HIMAGELIST List();
    static int Count() { return static_cast<int>(Ids().size()); }
    // The command of entry `index`, or 0.
    static UINT IdAt(int index);
    // The first index that holds command `id`, or -1.
    static int Find(UINT id);
    // Entries index, index + 1 and index + 2 exist and hold one command.
    static bool HasShadeVariants(int index);
    // Adds image `index` of `scratch` as the image of command `id` (cell size `cx` by
    // `cy` when the list is made now), with shade variants in the flat look. Returns
    // the index of the normal image, or -1 when `scratch` has no such image.
    static int Add(CImageList& scratch, int index, UINT id, int cx, int cy);

private:
    static CImageList& Images();
    static std::vector<UINT>& Ids();
    // A shade variant bitmap as an icon, the button face transparent; the caller
    // destroys it.
    static HICON VariantIcon(HBITMAP variant, int cx, int cy);
};
