#pragma once

#include <QString>

// Copies of the program talk over a per-user local socket named after the main window's
// caption. The running copy's main window listens; another copy connects, sends a window
// message as one text line "<message> <wParam> <lParam>\n" and waits for the line "0\n",
// which the running copy writes after the message has been handled.
namespace WakeChannel {

QString socketPath(const QString& caption);

// Parses one request line; false for anything that is not three decimal numbers.
bool parseRequest(const QByteArray& line, unsigned* message, qint64* wParam, qint64* lParam);
QByteArray formatRequest(unsigned message, qint64 wParam, qint64 lParam);

enum class SendResult
{
    Handled,  // the running copy handled the message
    NoWindow, // nothing listens under that caption
    NoReply,  // connected, but no answer came in time
};

// Sends a message to the window captioned `caption` and blocks until it has been handled or
// `timeoutMs` has passed. Needs no Qt event loop.
SendResult sendMessage(const QString& caption, unsigned message, qint64 wParam, qint64 lParam,
                       int timeoutMs);

} // namespace WakeChannel
