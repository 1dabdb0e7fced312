#pragma once

#include "session/keys.h"

class QKeyEvent;

namespace keys {

// The code of a pressed key, or 0 for a key the board has no use for. Letters give their code
// whatever the modifiers; keypad digits are not the top-row digits and give 0. The top-row "1",
// "0" and "=" keys keep their codes with Shift held ("!" is the "1" key).
int virtualKeyCode(const QKeyEvent &event);

// As above; with `keyNumbers` the keys are told by the numbers X11 and Wayland give each key
// (the same key on every keyboard layout), which the events of those platforms carry.
int virtualKeyCode(const QKeyEvent &event, bool keyNumbers);

} // namespace keys
