#pragma once

#include "dictionary/embeddedwords.h"

#include <QByteArray>
#include <QStringList>

namespace testing_support {

// A pool word that keeps every letter the masked word shows (the source word always does).
inline QByteArray answerFor(const QByteArray &masked)
{
    static const QStringList pool = loadWordPool();
    for (const QString &candidate : pool) {
        const QByteArray word = candidate.toLatin1();
        bool fits = word.size() == 5;
        for (int i = 0; fits && i < 5; ++i)
            fits = masked.at(i) == '_' || masked.at(i) == word.at(i);
        if (fits)
            return word;
    }
    return {};
}

// "CMD_myword" for a seat's word, with its terminator.
inline QByteArray mywordMessage(int seat, const QByteArray &word)
{
    QByteArray m = "CMD_myword+" + QByteArray::number(seat);
    for (int i = 0; i < 5; ++i)
        m += '+' + QByteArray::number(i + 1) + '+' + QByteArray::number(word.at(i) - 'a' + 1);
    return m + QByteArray("\xFF", 1);
}

// "CMD_newword+seat+done+next+masked+" -> masked; "CMD_nextplayer+seat+1+masked+" likewise.
inline QByteArray maskedOf(const QByteArray &message)
{
    return message.split('+').value(message.startsWith("CMD_newword") ? 4 : 3);
}

} // namespace testing_support
