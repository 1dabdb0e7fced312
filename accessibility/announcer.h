#pragma once

#include <QObject>
#include <QString>

#include <functional>

class ClientSession;

// Speaks what happens in the game to a player who follows it by ear: the player's turn, a word
// accepted or refused (with the reason), the last ten seconds, the round's results with the
// player's place and points, the winner, who came or went, and the chat's lines while "Read Chat
// Aloud" is on. It only words the session's events; the voice it is given says them (the windows
// give it the desktop's screen reader).
class Announcer : public QObject
{
    Q_OBJECT
public:
    // Assertive news interrupts what the screen reader is saying; polite news waits its turn.
    enum class Urgency { Polite, Assertive };
    using Voice = std::function<void(const QString &text, Urgency urgency)>;

    // The seconds left at which the clock is announced.
    static constexpr int kLastSeconds = 10;

    Announcer(ClientSession &session, Voice voice, QObject *parent = nullptr);

    // The board in one breath (the player asked for it).
    void speakSummary();

private:
    void say(const QString &text, Urgency urgency = Urgency::Assertive);
    // The word now on the board, or the status line when there is none.
    QString whatIsOnTheBoard() const;
    void chatLine(const QString &line);

    ClientSession &session_;
    Voice voice_;
};
