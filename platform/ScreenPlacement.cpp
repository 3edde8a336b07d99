#include "ScreenPlacement.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

int fitAxis(int start, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return qBound(areaStart, start, areaStart + areaLength - length);
}

} // namespace

QPoint ScreenPlacement::fit(const QRect& frame, const QRect& available)
{
    return {fitAxis(frame.x(), frame.width(), available.x(), available.width()),
            fitAxis(frame.y(), frame.height(), available.y(), available.height())};
}

void ScreenPlacement::keepOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    // Once the window manager has put a frame round the window, the native window knows it
    // and the widget learns of it only later; before that the frame is the window itself.
    QWindow* native = window->windowHandle();
    const bool framed = native && !native->frameMargins().isNull();
    const QRect frame = framed ? native->frameGeometry() : window->frameGeometry();
    const QPoint to = fit(frame, screen->availableGeometry());
    if (to == frame.topLeft())
        return;
    if (!framed)
        window->move(window->pos() + (to - frame.topLeft())); // the widget's own idea at once
    // The frame's corner where it is to go, whatever frame the window manager puts round it
    // (the widget's move would place the window's inside there, its title bar above it).
    if (native)
        native->setFramePosition(to);
}
