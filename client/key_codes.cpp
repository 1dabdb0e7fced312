#include "client/key_codes.h"

#include <QKeyEvent>

namespace keys {

int virtualKeyCode(const QKeyEvent &event)
{
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return A + (key - Qt::Key_A);
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Tab; // the same key with Shift held
    case Qt::Key_Return:
    case Qt::Key_Enter: return Enter;
    case Qt::Key_Backspace: return Backspace;
    case Qt::Key_Space: return Space;
    case Qt::Key_1: return keypad ? 0 : One;
    case Qt::Key_0: return keypad ? 0 : Zero;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return keypad ? 0 : EqualsPlus;
    default: return 0;
    }
}

} // namespace keys
