#include "ScreenPlacement.h"

#include <QScreen>
#include <QWidget>

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
    const QRect frame = window->frameGeometry();
    const QPoint to = fit(frame, screen->availableGeometry());
    if (to != frame.topLeft())
        window->move(window->pos() + (to - frame.topLeft()));
}
