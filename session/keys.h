#pragma once

// The board reads keys by the codes a PC keyboard's keys have always had (virtual-key codes), so
// that one table of codes says what every key does whatever the toolkit calls it.
namespace keys {

constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Zero = 48; // top row
constexpr int One = 49;  // top row
constexpr int A = 65;
constexpr int Z = 90;
constexpr int EqualsPlus = 187; // the key that carries "=" and "+"

} // namespace keys
