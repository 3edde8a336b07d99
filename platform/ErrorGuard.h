#pragma once

#include <exception>
#include <utility>

// Every event handler runs through guarded(): an exception that the handler does not catch
// itself ends that handler and goes to the general error handler, which shows its text in a
// critical message box captioned with the application title. The program then goes on.
// Nothing may unwind through Qt's event dispatch.

void reportUnhandledException(std::exception_ptr error) noexcept;

template <class F> void guarded(F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        reportUnhandledException(std::current_exception());
    }
}
