#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's message boxes. Tests may install a recorder in place of the real dialogs,
// since a modal box would stop a test that runs without anyone to press OK.
namespace MessageDialogs {

enum class Kind
{
    Plain,       // OK button, no icon
    Information, // OK button, information icon
    Critical,    // OK button, error icon
};

void show(QWidget* parent, Kind kind, const QString& caption, const QString& text);

inline void information(QWidget* parent, const QString& caption, const QString& text)
{
    show(parent, Kind::Information, caption, text);
}

using Recorder = std::function<void(Kind, const QString& caption, const QString& text)>;
// Replaces the real dialogs while set; pass an empty function to go back to them.
void setRecorder(Recorder recorder);
Recorder currentRecorder();

// Makes these boxes the general error handler of guarded(): a critical box captioned with the
// application title over the active window. Start-up installs it, and so does every test of
// windows.
void installErrorReporter();

} // namespace MessageDialogs
