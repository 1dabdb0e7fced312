#pragma once

#include "chat/phrases.h"
#include "protocol/constants.h"

#include <QString>
#include <QtGlobal>

#include <array>

// The player's preferences: what the Options menu, the start dialog and the phrase buttons show,
// and what the settings file keeps between runs. Until the settings are read the window shows
// these built-in values.
struct PlayerOptions {
    static constexpr int kMinTextSize = 1;
    static constexpr int kMaxTextSize = 96;
    static constexpr int kMinRounds = proto::kMinRounds;
    static constexpr int kMaxRounds = proto::kMaxRounds;
    static constexpr int kMinSeconds = proto::kMinTurnSeconds;
    static constexpr int kMaxSeconds = proto::kMaxTurnSeconds;
    static constexpr int kSecondsStep = 5;
    static constexpr int kSlowBots = 2000;
    static constexpr int kNormalBots = 1000;
    static constexpr int kFastBots = 500;
    static constexpr int kClassicTurnSound = 0;
    static constexpr int kNewTurnSound = 1;

    int textSize = 10;
    bool textSizeMarked = false; // the "Text Size" item of that size shows a check mark
    quint32 textColour = 0;      // black
    int roundsPerGame = 5;
    int secondsPerRound = 60;
    int botSpeed = kNormalBots;  // kept for the settings file only; the host never hears of it
    int turnSound = kClassicTurnSound;
    QString tileSet;             // the tile set in use; empty for the built-in tiles
    bool playSounds = true;
    bool autoErase = true;
    bool chatterSounds = false;  // on by default once the settings are read
    bool openPort = true;        // a hosted game asks the router to forward its port
    bool readChatAloud = true;   // chat lines are spoken to a player with a screen reader
    std::array<QString, chat::kPhraseButtons> phrases = chat::builtInPhrases();
};
