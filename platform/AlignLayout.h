#pragma once

#include <QList>
#include <QRect>

// Placement of aligned children inside a fixed-size parent, as a form designer does it:
// top-aligned children take their height from the top of what is left, in order, then the
// bottom ones, the left ones, the right ones; a child that fills takes the rest. A child
// without alignment keeps its own rectangle.
namespace AlignLayout {

enum class Align
{
    None,
    Top,
    Bottom,
    Left,
    Right,
    Client,
};

struct Item
{
    Align align = Align::None;
    QRect rect; // own rectangle: only its size counts for aligned children
};

QList<QRect> place(const QRect& client, const QList<Item>& items);

} // namespace AlignLayout
