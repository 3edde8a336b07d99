#pragma once

#include <QPoint>
#include <QSize>

// Where an image button's picture stands relative to its caption.
enum TImgControlLayout : quint8
{
    iclImgLeft,
    iclImgRight,
    iclImgTop,
    iclImgBottom,
    iclImgCenter,
};

// The image button's visual states.
enum TImgVisualState : quint8
{
    isNormal = 0,
    isEnter = 1,
    isDown = 2,
    isChecked = 3,
};

namespace ImgButtonGeometry {

struct Input
{
    QSize control;       // W x H
    QSize image;         // iw x ih
    QSize caption{0, 0}; // tw x th (0 x 0 for an empty caption)
    bool hasCaption = false;
    TImgControlLayout layout = iclImgTop;
    int spacing = 2;      // taken modulo 65536 as an unsigned gap
    int state = isNormal; // the visual state: 1 moves up-left, 2 down-right
    int enterOffset = 1;
    int downOffset = 1;
};

struct Placement
{
    QPoint image;   // top-left of the picture
    QPoint caption; // top-left of the caption's text box
    bool operator==(const Placement&) const = default;
};

// Centres picture and caption as a pair along the layout's axis, each on its own along the
// other; halves truncate toward zero, so a picture larger than the control stands at a
// negative position.
Placement place(const Input& in);

} // namespace ImgButtonGeometry
