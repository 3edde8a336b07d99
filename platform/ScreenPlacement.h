#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Keeping a window on screen: a window placed where part of it would be off the available area
// of its screen moves the least distance that makes it fit.
namespace ScreenPlacement {

// Where a window whose outer rectangle is `frame` stands inside `available`: its own place
// when it fits; otherwise each side moved just enough, and where it is larger than the area,
// its top or left edge on the area's.
QPoint fit(const QRect& frame, const QRect& available);

// Moves the top-level `window` onto the available area of its screen, if it is not all there.
void keepOnScreen(QWidget* window);

} // namespace ScreenPlacement
