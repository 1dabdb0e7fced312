#include "client/key_codes.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace keys {

namespace {

// The top-row keys by the key numbers of X11 and Wayland (the kernel's key code plus 8).
int topRowKey(quint32 keyNumber)
{
    switch (keyNumber) {
    case 10: return One;
    case 19: return Zero;
    case 21: return EqualsPlus;
    default: return 0;
    }
}

// The same keys by what they type on a US keyboard, with and without Shift.
int topRowSymbol(int key)
{
    switch (key) {
    case Qt::Key_1:
    case Qt::Key_Exclam: return One;
    case Qt::Key_0:
    case Qt::Key_ParenRight: return Zero;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return EqualsPlus;
    default: return 0;
    }
}

bool platformNumbersKeys()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

} // namespace

int virtualKeyCode(const QKeyEvent &event)
{
    static const bool keyNumbers = platformNumbersKeys();
    return virtualKeyCode(event, keyNumbers && event.nativeScanCode() != 0);
}

int virtualKeyCode(const QKeyEvent &event, bool keyNumbers)
{
    // Alt and Ctrl keys belong to the menus and the window's shortcuts, never to the board.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return A + (key - Qt::Key_A);
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Tab; // the same key with Shift held
    case Qt::Key_Return:
    case Qt::Key_Enter: return Enter;
    case Qt::Key_Backspace: return Backspace;
    case Qt::Key_Space: return Space;
    case Qt::Key_Escape: return Escape;
    default: break;
    }
    if (event.modifiers().testFlag(Qt::KeypadModifier))
        return 0;
    return keyNumbers ? topRowKey(event.nativeScanCode()) : topRowSymbol(key);
}

} // namespace keys
