#pragma once

#include <QByteArray>
#include <QString>

// What the client knows of its own session. Everything about the other players lives in what
// the board shows (seat rows, spy list); later decisions read it back from there.
struct ClientState {
    static constexpr int kPlayerSeats = 6;

    int localSeat = 0;      // the seat the host assigned; 0 until then
    bool connected = false; // set when the seat arrives, never cleared
    bool hostFlag = false;  // this copy runs the game's host
    QString playerName;
    QString hostAddress;
    QByteArray loginName;   // the player name followed by one byte 0xFF
    int entrySeat = 0;      // the seat that may type on the board now, 0 for nobody
    bool typeInChat = true; // the keyboard belongs to the chat entry

    bool isPlayer() const { return localSeat >= 1 && localSeat <= kPlayerSeats; }
    bool isSpectator() const { return localSeat > kPlayerSeats; }
};
