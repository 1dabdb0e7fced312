#pragma once

#include "session/keys.h"

class QKeyEvent;

namespace keys {

// The code of a pressed key, or 0 for a key the board has no use for. Letters give their code
// whatever the modifiers; keypad digits are not the top-row digits and give 0.
int virtualKeyCode(const QKeyEvent &event);

} // namespace keys
