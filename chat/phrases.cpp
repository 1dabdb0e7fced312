#include "chat/phrases.h"

namespace chat {

std::array<QString, kPhraseButtons> builtInPhrases()
{
    return {
        QStringLiteral("Way To Go!"),
        QStringLiteral("Good One!"),
        QStringLiteral("Nice Try!"),
        QStringLiteral("Excellent!"),
        QStringLiteral("Brilliant!"),
        QStringLiteral("Wow, WTG!"),
        QStringLiteral("Thanks!"),
        QStringLiteral("Way To Go Teamie!"),
        QStringLiteral("Good Game Everyone!"),
    };
}

QString phraseAction(const QString &phrase)
{
    static const QString me = QStringLiteral("/me ");
    if (phrase.startsWith(me))
        return phrase.mid(me.size());
    return QStringLiteral("says: ") + phrase;
}

} // namespace chat
