#pragma once

#include "session/keys.h"

class QKeyEvent;

namespace keys {

// The code of a pressed key, or 0 for a key the board has no use for. A key held with Alt, Ctrl
// or the logo key is never the board's (Alt+F opens the File menu, Ctrl+Q quits); letters give
// their code with Shift held too. Keypad digits are not the top-row digits and give 0. The
// top-row "1", "0" and "=" keys keep their codes with Shift held ("!" is the "1" key).
int virtualKeyCode(const QKeyEvent &event);

// As above; with `keyNumbers` the keys are told by the numbers X11 and Wayland give each key
// (the same key on every keyboard layout), which the events of those platforms carry.
int virtualKeyCode(const QKeyEvent &event, bool keyNumbers);

} // namespace keys
