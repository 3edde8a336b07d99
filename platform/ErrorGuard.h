#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <utility>

// Every event handler runs through guarded(): an exception that the handler does not catch
// itself ends that handler and goes to the general error handler, the reporter the
// application installs (the program's: a critical message box captioned with its title, see
// MessageDialogs::installErrorReporter). The program then goes on. Nothing may unwind through
// Qt's event dispatch.

using ErrorReporter = std::function<void(const QString& text)>;
// Until one is installed, errors are printed as warnings.
void setErrorReporter(ErrorReporter reporter);

void reportUnhandledException(std::exception_ptr error) noexcept;

// The text of the exception `error` holds, as the reporter shows it.
QString errorText(std::exception_ptr error);

// One line on standard error, for what the program ends with or does not show in a box.
void printErrorLine(const QString& text) noexcept;

// For the few places where an error is dropped on purpose (the window carries on as if
// nothing happened): nothing is shown, and one line "<what>：<error>" goes to standard error,
// so that the failure is not silent to whoever watches the program's output.
template <class F> void swallowed(const QString& what, F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        printErrorLine(what + QStringLiteral("：") + errorText(std::current_exception()));
    }
}

template <class F> void guarded(F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        reportUnhandledException(std::current_exception());
    }
}

// Connects `signal` to the handler `method` of `window`, run through guarded() with `sender`
// as its Sender argument, as the windows' event tables do: connectGuarded(bPlay,
// &QToolButton::clicked, this, &TFrmMain::PlayClick, bPlay).
template <class Source, class Signal, class Window>
QMetaObject::Connection connectGuarded(Source* source, Signal signal, Window* window,
                                       void (Window::*method)(QObject*), QObject* sender)
{
    return QObject::connect(source, signal, window, [window, method, sender] {
        guarded([&] { (window->*method)(sender); });
    });
}
