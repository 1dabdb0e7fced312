#pragma once

#include <QString>

#include <array>

// The phrase buttons beside the chat: one click sends a stock remark to everybody as an action.
namespace chat {

inline constexpr int kPhraseButtons = 9;
// The phrase editor's fields take no more.
inline constexpr int kPhraseLength = 50;

// "Way To Go!" to "Good Game Everyone!", button 1 first.
std::array<QString, kPhraseButtons> builtInPhrases();

// The action text a phrase sends: "/me cheers" (exact case, with the blank) sends "cheers",
// which the others read as "Ann cheers"; anything else is said: "says: Nice Try!".
QString phraseAction(const QString &phrase);

} // namespace chat
