#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The comparable form of a word: the text of a search key and the word of a record are both
// brought into this form, so that lookups ignore letter case and surrounding spaces.
namespace wordkey {

inline constexpr qsizetype KeyLength = 15;

// NUL bytes become spaces, spaces at both ends go, the result is padded with spaces to
// KeyLength, and a-z become A-Z (every other byte stays as it is). Longer texts keep their length.
QByteArray normalised(QByteArrayView text);

// True when a normalised text holds no word at all (it was empty or only spaces).
bool isBlank(const QByteArray &normalisedText);

// Byte order (unsigned), a shorter text before a longer one it begins.
int compare(QByteArrayView a, QByteArrayView b);

} // namespace wordkey
