// Sounds as the client asks for them: the game's own, which "Play Sounds" silences, and the
// chatter sounds the players send each other, which "Play Chatter Sounds" turns into a line.

#include "chat/chatter_sounds.h"
#include "session/client_session.h"

void ClientSession::playsounds(const QString &name)
{
    if (options_.playSounds)
        emit soundRequested(name);
}

void ClientSession::wave12Click(int number)
{
    if (number < 1 || number > chat::kChatterSounds)
        return;
    if (!connected_ || !isPlayer())
        return;
    // Not played here: the host's relay comes back to this copy like to every other.
    send(msg::encode(msg::PlayASound {localSeat_, chat::chatterSoundName(number).toUtf8()}));
}

void ClientSession::playasound(const msg::PlayASound &m)
{
    const QString name = QString::fromUtf8(m.wave);
    if (options_.chatterSounds) {
        emit soundRequested(name);
        return;
    }
    const int number = chat::chatterSoundNumber(name);
    if (!proto::isPlayerSeat(m.seat) || number == 0)
        return;
    systemLine(seat(m.seat).shownName() + QStringLiteral(": <Chatter Sound> ") + chat::chatterCaption(number));
}
