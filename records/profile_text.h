#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text of an INI file as the profile functions of the Windows desktop read and change it:
// "[Section]" lines, then "Key=Value" lines; names are matched without regard to letter case and
// with the blanks around them ignored; lines starting with ";" are comments. Only the first
// section of a name and the first key of a name in it count. The file's bytes are UTF-8; LF and
// CR LF line ends both read.
namespace profile {

// Longer values are cut to this many characters when read.
inline constexpr int kMaxValueLength = 2047;

// The key's value with the blanks around it removed and cut to kMaxValueLength characters; none
// when the section or the key is not there ("Key=" has an empty value).
std::optional<QString> findValue(const QByteArray &text, const QString &section, const QString &key);

// The text with the key set to the value. The key's own line keeps everything before its value;
// a new key goes after the section's last key; a new section goes at the end of the text. Every
// other byte stays as it was, and new lines end like the text's first line (LF in a new text).
// Line breaks in the value become blanks, so a value is always one line.
QByteArray withValue(const QByteArray &text, const QString &section, const QString &key, const QString &value);

} // namespace profile
