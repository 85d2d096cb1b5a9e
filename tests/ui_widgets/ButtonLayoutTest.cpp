// The icon button's layout, natively: where the image and the caption frame go
// for each alignment, with and without a caption, pushed or not.
#include <gtest/gtest.h>

#include "ui/widgets/ButtonLayout.h"

namespace {

using button_layout::kAlignLeft;
using button_layout::kAlignRight;
using button_layout::kAlignTop;
using button_layout::Place;
using button_layout::Rect;
using button_layout::Size;

constexpr Rect kButton{0, 0, 100, 40};
constexpr Size kIcon{32, 32};
constexpr Size kNoImage{0, 0};

struct Case {
    const char* what;
    unsigned char align;
    Rect item;
    Size image;
    bool caption;
    bool pushed;
    Rect wantImage;
    Rect wantCaption;
};

const Case kCases[] = {
    {"left, beside the caption",
     kAlignLeft,
     kButton,
     kIcon,
     true,
     false,
     {3, 4, 35, 36},
     {35, 0, 100, 40}},
    {"left, alone: centred", kAlignLeft, kButton, kIcon, false, false, {34, 4, 66, 36}, kButton},
    {"top, above the caption",
     kAlignTop,
     kButton,
     kIcon,
     true,
     false,
     {34, 3, 66, 35},
     {0, 32, 100, 40}},
    {"top, alone: centred", kAlignTop, kButton, kIcon, false, false, {34, 4, 66, 36}, kButton},
    {"right, after the caption",
     kAlignRight,
     kButton,
     kIcon,
     true,
     false,
     {65, 4, 97, 36},
     {3, 0, 65, 40}},
    {"right, alone: centred", kAlignRight, kButton, kIcon, false, false, {34, 4, 66, 36}, kButton},
    {"pushed moves both", kAlignLeft, kButton, kIcon, true, true, {4, 5, 36, 37}, {36, 1, 101, 41}},
    {"no image: the caption keeps the item",
     kAlignLeft,
     kButton,
     kNoImage,
     true,
     false,
     {},
     kButton},
    {"no image, pushed", kAlignRight, kButton, kNoImage, true, true, {}, {1, 1, 101, 41}},
    {"unknown alignment: the item's corner",
     7,
     kButton,
     kIcon,
     true,
     false,
     {0, 0, 32, 32},
     kButton},
    // Inside a frame the right alignment measures the image from the client's edge
    // and the caption from the item's width.
    {"right inside a frame",
     kAlignRight,
     {2, 2, 98, 38},
     kIcon,
     true,
     false,
     {65, 4, 97, 36},
     {3, 2, 61, 38}},
};

TEST(ButtonLayoutTest, PlacesImageAndCaptionFrame) {
    for (const Case& c : kCases) {
        const button_layout::Placement p =
            Place(c.align, c.item, kButton, c.image, c.caption, c.pushed);
        EXPECT_EQ(p.image, c.wantImage) << c.what;
        EXPECT_EQ(p.caption, c.wantCaption) << c.what;
    }
}

TEST(ButtonLayoutTest, CentresMeasuredTextInItsFrame) {
    const Rect frame{35, 0, 100, 40};
    EXPECT_EQ(button_layout::CentreText(frame, Rect{35, 0, 65, 13}), (Rect{52, 13, 82, 26}));
    // Text wider than its frame (one unbreakable word) overhangs both sides.
    EXPECT_EQ(button_layout::CentreText(frame, Rect{35, 0, 115, 13}), (Rect{28, 13, 108, 26}));
}

}  // namespace
