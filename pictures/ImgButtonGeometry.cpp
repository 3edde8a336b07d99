#include "ImgButtonGeometry.h"

namespace ImgButtonGeometry {

Placement place(const Input& in)
{
    const int w = in.control.width();
    const int h = in.control.height();
    const int iw = in.image.width();
    const int ih = in.image.height();
    const int tw = in.caption.width();
    const int th = in.caption.height();

    // The gap is a 16-bit unsigned quantity: -1 is 65535 pixels.
    const int gap = int(quint16(in.spacing));
    int hs = 0;
    int vs = 0;
    if (in.hasCaption && in.layout != iclImgCenter) {
        if (in.layout == iclImgLeft || in.layout == iclImgRight)
            hs = gap;
        else
            vs = gap;
    }

    // C++ division truncates toward zero, as the placement requires.
    int tx = (w - tw - hs) / 2;
    int ty = (h - th - vs) / 2;
    int ix = (w - iw - hs) / 2;
    int iy = (h - ih - vs) / 2;

    switch (in.layout) {
    case iclImgLeft:
        ix = (w - iw - tw - hs) / 2;
        tx = ix + iw + hs;
        break;
    case iclImgRight:
        tx = (w - iw - tw - hs) / 2;
        ix = tx + tw + hs;
        break;
    case iclImgTop:
        iy = (h - ih - th - vs) / 2;
        ty = iy + ih + vs;
        break;
    case iclImgBottom:
        ty = (h - ih - th - vs) / 2;
        iy = ty + th + vs;
        break;
    case iclImgCenter:
        break;
    }

    int shift = 0;
    if (in.state == isEnter)
        shift = -in.enterOffset;
    else if (in.state == isDown)
        shift = in.downOffset;
    return {QPoint(ix + shift, iy + shift), QPoint(tx + shift, ty + shift)};
}

} // namespace ImgButtonGeometry
