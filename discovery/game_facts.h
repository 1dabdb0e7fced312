#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// What a hosted game tells the local network about itself, and what a browser learns of it. The
// facts travel as DNS-SD TXT records of the service type "_vrel._tcp".
struct GameFacts {
    static inline const char kServiceType[] = "_vrel._tcp";

    QString serviceName;    // the name the game is published under
    QString address;        // where it was found (found games only)
    quint16 port = 0;
    QString version;        // the host's protocol version
    QString hostPlayer;     // the hosting player's name; empty for a host without a window
    int players = 0;        // seats 1 to 6 taken by players who have logged in
    int onlookers = 0;      // seats 7 to 9 likewise
    bool running = false;   // a game is being played

    // "key=value" records, one a fact.
    QList<QByteArray> txtRecords() const;
    // Reads the records a host published into these facts; unknown keys and unreadable
    // numbers are left out (a number then stays 0).
    void readTxtRecords(const QList<QByteArray> &records);

    // "game running" or "waiting for players".
    QString stateText() const;
    // "3 players, 1 onlooker".
    QString peopleText() const;
    // One line for scripts: name (as servicename::shown gives it), address, port, players and
    // state, separated by tabs.
    QString scriptLine() const;

    bool operator==(const GameFacts &) const = default;
};
