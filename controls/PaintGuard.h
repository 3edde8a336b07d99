#pragma once

#include <functional>

// Runs a control's painting through the general error handler, like every event handler. While
// the report of one painting error is on screen, further painting errors are dropped: the
// report's own dialog makes the controls under it paint again, and a control that fails on
// every paint would otherwise stack one report on another.
void guardedPaint(const std::function<void()>& paint) noexcept;
