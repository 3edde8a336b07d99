#pragma once

#include <QImage>
#include <QSize>

// How the picture panel's background picture fills the width and the height.
enum THorzStretchType : quint8
{
    hstNone,   // the picture at the left at its own width; white to its right
    hstAll,    // the picture scaled to the whole width
    hstLeft,   // the picture at the right; its first column repeated to the left edge
    hstMiddle, // both halves at their own size; the middle column repeated between them
    hstRight,  // the picture at the left; its last column repeated to the right edge
};

enum TVertStretchType : quint8
{
    vstNone,
    vstAll,
    vstTop,    // the picture at the bottom; its top row repeated up to the top edge
    vstCenter, // both halves at their own size; the middle row repeated between them
    vstBottom, // the picture at the top; its bottom row repeated down to the bottom edge
};

namespace PicStretch {

// The picture panel's background for a client area of `target`, to be drawn at the client's
// top-left corner. With both modes none this is `picture`'s own pixels at its own size (what lies
// outside it is left alone); otherwise an opaque image of exactly `target`, white where the
// modes put nothing. Pixels are copied as they are (alpha ignored); scaling takes the nearest
// source pixel, never a blend. A picture larger than the target is cut on the side its mode
// does not keep (see the modes); an empty target gives a null image.
QImage stretch(const QImage& picture, QSize target, THorzStretchType horz, TVertStretchType vert);

// An opaque copy of `image` in 32-bit RGB: the stored colour bytes kept as they are, any alpha
// byte dropped (a plain pixel copy, as a bitmap is copied onto a screen).
QImage opaquePixels(const QImage& image);

// The source index that destination index `d` of `dstCount` takes when `srcCount` indices are
// scaled to `dstCount` by nearest pixel (pixel centres).
int nearestSource(int d, int dstCount, int srcCount);

} // namespace PicStretch
