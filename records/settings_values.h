#pragma once

#include <QString>

#include <optional>

// How the settings file's texts read as values.
namespace settings {

// A decimal number with an optional sign, or hexadecimal after "$" or "0x" (at most eight
// digits, read as a 32-bit value); anything else, an empty text included, is none.
std::optional<int> readInteger(const QString &text);

// Only the exact text "false" is off: "False" and anything else are on.
bool readSwitch(const QString &text);
QString switchText(bool on);

} // namespace settings
