#pragma once

class QKeyEvent;

// The board reads keys by the codes a PC keyboard's keys have always had (virtual-key codes), so
// that one table of codes says what every key does whatever the toolkit calls it.
namespace keys {

constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Space = 32;
constexpr int Zero = 48; // top row
constexpr int One = 49;  // top row
constexpr int A = 65;
constexpr int Z = 90;
constexpr int EqualsPlus = 187; // the key that carries "=" and "+"

// The code of a pressed key, or 0 for a key the board has no use for. Letters give their code
// whatever the modifiers; keypad digits are not the top-row digits and give 0.
int virtualKeyCode(const QKeyEvent &event);

} // namespace keys
