#include "KeyMessage.h"

#include <QKeyEvent>

namespace {

// X keysyms of the right-hand modifier keys, as native virtual keys of their key events.
constexpr quint32 XK_Control_R = 0xffe4;
constexpr quint32 XK_Alt_R = 0xffea;

} // namespace

QChar maskedCtrlChar(const QString& disableCtrlShortcuts, const KeyMessage& message)
{
    if (disableCtrlShortcuts.isEmpty() || message.message != WM_KEYDOWN)
        return {};
    const bool leftCtrlOnly = message.leftCtrl && !message.leftAlt && !message.rightAlt;
    const bool rightCtrl = message.rightCtrl && !message.leftAlt;
    if (!leftCtrlOnly && !rightCtrl)
        return {};
    const QChar key = QChar::fromLatin1(char(message.keyCode & 0xff));
    return disableCtrlShortcuts.contains(key) ? key : QChar();
}

quint32 virtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return quint32(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + quint32(qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return 0x1b;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2d;
    case Qt::Key_Delete:
        return 0x2e;
    default:
        return 0;
    }
}

void followModifierKey(ModifierSides& sides, const QKeyEvent& event)
{
    const bool down = event.type() == QEvent::KeyPress;
    if (!down && event.type() != QEvent::KeyRelease)
        return;
    switch (event.key()) {
    case Qt::Key_Control:
        (event.nativeVirtualKey() == XK_Control_R ? sides.rightCtrl : sides.leftCtrl) = down;
        break;
    case Qt::Key_Alt:
        (event.nativeVirtualKey() == XK_Alt_R ? sides.rightAlt : sides.leftAlt) = down;
        break;
    case Qt::Key_AltGr:
        sides.rightAlt = down;
        break;
    default:
        break;
    }
}

KeyMessage keyDownMessage(const QKeyEvent& event, const ModifierSides& sides)
{
    KeyMessage message;
    message.message = WM_KEYDOWN;
    message.keyCode = virtualKeyCode(event.key());
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::ControlModifier)) {
        message.leftCtrl = sides.leftCtrl || !sides.rightCtrl;
        message.rightCtrl = sides.rightCtrl;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        message.leftAlt = sides.leftAlt || !sides.rightAlt;
        message.rightAlt = sides.rightAlt;
    }
    if (modifiers.testFlag(Qt::GroupSwitchModifier))
        message.rightAlt = true;
    return message;
}
