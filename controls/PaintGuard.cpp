#include "PaintGuard.h"

#include "ErrorGuard.h"

void guardedPaint(const std::function<void()>& paint) noexcept
{
    static bool reporting = false;
    try {
        paint();
    } catch (...) {
        if (reporting)
            return;
        reporting = true;
        reportUnhandledException(std::current_exception());
        reporting = false;
    }
}
