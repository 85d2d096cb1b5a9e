#include "ui/widgets/ButtonLayout.h"

namespace button_layout {

Placement Place(unsigned char align, const Rect& item, const Rect& client, Size image,
                bool hasCaption, bool pushed) {
    Placement out{item, item};
    const int w = image.width;
    const int h = image.height;
    const int centreX = (item.Width() - w) / 2;
    const int centreY = (item.Height() - h) / 2;
    const bool hasImage = w > 0 && h > 0;
    // Without an image the caption keeps the whole item.
    const bool beside = hasCaption && hasImage;
    switch (align) {
        case kAlignLeft:
            if (beside) {
                out.image.left += kImageMargin;
                out.caption.left += w + kImageMargin;
            } else {
                out.image.left += centreX;
            }
            out.image.top += centreY;
            break;
        case kAlignTop:
            out.image.left += centreX;
            if (beside) {
                out.image.top = kImageMargin;
                out.caption.top += h;
            } else {
                out.image.top += centreY;
            }
            break;
        case kAlignRight:
            if (beside) {
                out.caption.right = out.caption.Width() - w - kImageMargin;
                out.caption.left = kImageMargin;
                out.image.left = client.right - w - kImageMargin;
            } else {
                out.image.left += centreX;
            }
            // Centred vertically with or without a caption, like the other alignments.
            out.image.top += centreY;
            break;
        default:
            break;
    }
    out.image.right = out.image.left + w;
    out.image.bottom = out.image.top + h;
    if (!hasImage) {
        out.image = Rect{};
    }
    if (pushed) {
        if (hasImage) {
            out.image = out.image.Offset(1, 1);
        }
        out.caption = out.caption.Offset(1, 1);
    }
    return out;
}

Rect CentreText(const Rect& frame, const Rect& measured) {
    return measured.Offset((frame.Width() - measured.Width()) / 2,
                           (frame.Height() - measured.Height()) / 2);
}

}  // namespace button_layout
