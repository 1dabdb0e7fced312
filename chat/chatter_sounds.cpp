#include "chat/chatter_sounds.h"

#include <array>

namespace chat {

QString chatterCaption(int number)
{
    static const std::array<const char *, kChatterSounds> captions = {
        "Doh", "Cough", "Hello", "Thank You", "Where have you been?", "Snoring", "Sneezing", "Sorry", "Welcome", "Yeehaa",
        "Yippee", "Oh No", "Applause", "Honk", "Oooh", "Razzberry", "Cheer", "Woman Laughing", "Man Laughing", "Crying",
    };
    if (number < 1 || number > kChatterSounds)
        return {};
    return QString::fromLatin1(captions[size_t(number - 1)]);
}

QString chatterSoundName(int number)
{
    return QStringLiteral("wave%1").arg(number);
}

int chatterSoundNumber(const QString &name)
{
    for (int number = 1; number <= kChatterSounds; ++number) {
        if (name.compare(chatterSoundName(number), Qt::CaseInsensitive) == 0)
            return number;
    }
    return 0;
}

} // namespace chat
