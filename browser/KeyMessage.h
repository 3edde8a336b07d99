#pragma once

#include <QChar>
#include <QString>
#include <QtGlobal>

class QKeyEvent;

inline constexpr quint32 WM_KEYDOWN = 256;
inline constexpr quint32 VK_RETURN = 13;
inline constexpr quint32 VK_F1 = 0x70;

// A key message as the browser control tests it: the message, the virtual key code, and
// which Ctrl and Alt keys are down on each side of the keyboard.
struct KeyMessage
{
    quint32 message = 0;
    quint32 keyCode = 0;
    bool leftCtrl = false;
    bool rightCtrl = false;
    bool leftAlt = false;
    bool rightAlt = false;
};

// The Ctrl shortcut test: the character of `disableCtrlShortcuts` that the key-down message
// stands for, or a null character when the message is no such Ctrl shortcut.
QChar maskedCtrlChar(const QString& disableCtrlShortcuts, const KeyMessage& message);

// The virtual key code of a Qt key: letters and digits are their upper-case characters; the
// editing, navigation and function keys have codes of their own; any other key is 0.
quint32 virtualKeyCode(int qtKey);

// Which Ctrl and Alt keys are down, followed from the presses and releases of those keys.
struct ModifierSides
{
    bool leftCtrl = false;
    bool rightCtrl = false;
    bool leftAlt = false;
    bool rightAlt = false;
};

// Updates `sides` from a press or release of a Ctrl or Alt key; other keys change nothing.
void followModifierKey(ModifierSides& sides, const QKeyEvent& event);

// The key-down message of a key press. The event's own modifiers win over `sides`: a Ctrl or
// Alt that is down without a press seen (it went down before the control had the focus)
// counts as the left one.
KeyMessage keyDownMessage(const QKeyEvent& event, const ModifierSides& sides);
