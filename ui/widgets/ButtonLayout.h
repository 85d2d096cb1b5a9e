#pragma once
// Where an icon button puts its image and its caption: rectangles in, rectangles
// out. Portable on purpose (no window system types), so it is tested natively.
namespace button_layout {

// Values of the icon button's image alignment.
enum ImageAlign : unsigned char { kAlignLeft = 0, kAlignTop = 1, kAlignRight = 2 };

// Room between the button's edge and its image.
constexpr int kImageMargin = 3;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Rect Offset(int dx, int dy) const { return Rect{left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
};

struct Placement {
    Rect image;    // empty when there is no image
    Rect caption;  // the frame the caption is centred in
};

// Places an image of `image` size (0 x 0: none) and the caption frame in the
// button's item rectangle `item`; `client` is its client rectangle (the right
// alignment measures from its right edge). `pushed` moves both one pixel right
// and down, the look of a pressed push button. An alignment outside ImageAlign
// leaves the image at the item's top left.
Placement Place(unsigned char align, const Rect& item, const Rect& client, Size image,
                bool hasCaption, bool pushed);

// The `measured` text rectangle (DrawText's measure in `frame`) moved to the
// centre of `frame`.
Rect CentreText(const Rect& frame, const Rect& measured);

}  // namespace button_layout
