#pragma once

#include <QString>

// The chatter sounds a seated player sends to everybody from the sound menu: number 1 to 20,
// played by the sound name "wave" and the number, shown in the menu by their captions.
namespace chat {

inline constexpr int kChatterSounds = 20;

// "Doh" for 1 to "Crying" for 20; empty for any other number.
QString chatterCaption(int number);
// "wave1" to "wave20".
QString chatterSoundName(int number);
// The number of a chatter sound's name, without regard to case; 0 for a name that is none of
// the 20.
int chatterSoundNumber(const QString &name);

} // namespace chat
