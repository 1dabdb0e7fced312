#pragma once

// Whole games played by client sessions against the host engine in memory: no window, no socket,
// no real clock. Every message travels through the real protocol on both sides.

#include "engine/tserver.h"
#include "session/client_session.h"
#include "session/keys.h"
#include "session/notices.h"
#include "tests/support/link_pair.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

inline const QString kTurnText = QStringLiteral("Type a Word - Press ENTER to submit your word.");

class SessionGame : public ::testing::Test
{
protected:
    struct Player {
        ClientSession session;
        QStringList lines;  // chat lines, system lines without their "0+"
        QStringList sounds;
        int closings = 0;
        int removals = 0;
        int hostEndings = 0;
        testing_support::PairedLink *link = nullptr; // the session's end of its connection
    };

    SessionGame()
    {
        server.seedRandom(11);
        server.setManualClock(true);
        server.setManualDispatch(true);
    }

    // A session that connects, is seated and logs in under this name.
    Player &join(const QString &name)
    {
        Player &player = players.emplace_back();
        ClientSession &session = player.session;
        session.setManualDispatch(true);
        session.setManualTurnClock(true);
        session.setPlayer(name, QStringLiteral("127.0.0.1"));
        QObject::connect(&session, &ClientSession::lineAdded, [&player](const QString &line, quint32) {
            player.lines << (line.startsWith(QLatin1String("0+")) ? line.mid(2) : line);
        });
        QObject::connect(&session, &ClientSession::soundRequested, [&player](const QString &s) { player.sounds << s; });
        QObject::connect(&session, &ClientSession::connectionClosed, [&player] { ++player.closings; });
        QObject::connect(&session, &ClientSession::removedFromGame, [&player] { ++player.removals; });
        QObject::connect(&session, &ClientSession::hostEnded, [&player] { ++player.hostEndings; });
        connect(player);
        return player;
    }

    // A connection for the player's session: its first, or one that takes it back to its seat
    // after a drop, as its Rejoiner's would.
    void connect(Player &player)
    {
        auto [client, host] = testing_support::PairedLink::make();
        player.link = client.get();
        if (player.session.rejoining())
            player.session.rejoinOver(std::move(client));
        else
            player.session.setLink(std::move(client));
        server.seatConnection(std::move(host));
        pump();
    }

    // Works off everything queued on every side, the host's messages at their pace.
    void pump()
    {
        for (bool busy = true; busy;) {
            busy = server.queuedMessages() > 0;
            server.advanceDispatchClock(TServer::kPace);
            for (Player &player : players) {
                busy = busy || player.session.queuedMessages() > 0;
                player.session.processsocktimer();
            }
        }
    }

    // The host's phase clock runs until the condition holds.
    bool runHostUntil(const std::function<bool()> &condition)
    {
        for (int second = 0; second < 200 && !condition(); ++second) {
            server.timer1Timer();
            pump();
        }
        return condition();
    }

    // Letters and Enter on the board, as the keys arrive from the window.
    void submit(Player &player, const QByteArray &word)
    {
        for (const char letter : word)
            EXPECT_TRUE(player.session.FormShortCut(keys::A + (letter - 'a')));
        EXPECT_TRUE(player.session.FormShortCut(keys::Enter));
        pump();
    }

    QByteArray source(int word) { return server.puzzle(1, word).source; }

    TServer server;
    std::deque<Player> players;
};

