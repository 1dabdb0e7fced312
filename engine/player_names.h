#pragma once

#include <QString>
#include <QStringList>

// The names at one table: no two may look alike, and none may carry the words that a chat line
// uses to mark who speaks, so that no line can pass for another player's. Look-alike characters
// (Cyrillic "а" for Latin "a", U+2236 for ":", full-width letters, a different case) are folded
// with ICU's confusable skeleton before names are compared.
namespace playernames {

// What a name looks like: compatibility-normalised, case-folded, without invisible format
// characters, as its confusable skeleton, with every run of blanks made one blank.
QString lookAlike(const QString &name);

// The name cut before the first mark of a speaker (" chats:", " says:" or anything that looks
// like them), also when the mark would only be completed by a colon after the name ("Ann
// chats"), then trimmed of blanks.
QString withoutSpeakerMarks(const QString &name);

// The name itself when no name of `taken` looks like it, else the name with " (2)", " (3)", ...
// whichever is free first, cut so that it stays within maxChars characters.
QString unique(const QString &name, const QStringList &taken, int maxChars);

// A name without a visible character: empty, blanks and invisible format characters only.
bool isBlank(const QString &name);

} // namespace playernames
