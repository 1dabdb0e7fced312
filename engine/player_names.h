#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The names at one table: no two may look alike, none may carry the words that a chat line uses
// to mark who speaks, and every one shows a letter or a digit, so that no line can pass for
// another player's or for the game's own. Look-alike characters (Cyrillic "а" for Latin "a",
// U+2236 for ":", full-width letters, "I" for "l", "0" for "O", a different case) are folded with
// ICU's confusable skeleton before names are compared. Everything works on whole code points.
namespace playernames {

// A character that takes no room on screen (a zero-width space, a joiner, a variation selector,
// a tag character): names drop them, and comparisons look through them.
bool isInvisible(char32_t c);
// A character that shows as an empty space: every Unicode space, the Braille blank and the Hangul
// fillers.
bool isBlankCharacter(char32_t c);

// What a name looks like: compatibility-normalised, without invisible characters, folded to its
// confusable skeleton with case folded after it, with every run of blanks made one blank.
QString lookAlike(const QString &name);

// The name without its invisible characters.
QString withoutInvisibles(const QString &name);

// The name cut before the first mark of a speaker (" chats:", " says:" or anything that looks
// like them), also when the mark would only be completed by a colon after the name ("Ann
// chats"), then trimmed of blanks of every kind.
QString withoutSpeakerMarks(const QString &name);

// The name itself when no name of `taken` looks like it, else the name with " (2)", " (3)", ...
// whichever is free first, cut so that it stays within maxChars characters.
QString unique(const QString &name, const QStringList &taken, int maxChars);

// A name without a visible letter or digit: empty, blanks, punctuation, invisible characters and
// fillers only.
bool isBlank(const QString &name);

// The name a seat is known by at a table where `taken` are the others' names: the name as sent,
// cleaned and cut (see playertext), without invisible characters and speakers' marks, the seat's
// default name when nothing visible is left, in the form every client shows ("|" and ":"
// replaced), and unlike every name taken.
QByteArray tableName(const QByteArray &sent, const QString &defaultName, const QStringList &taken);

} // namespace playernames
