#include "accessibility/announcer.h"

#include "accessibility/spoken.h"
#include "chat/chatline.h"
#include "session/client_session.h"

Announcer::Announcer(ClientSession &session, Voice voice, QObject *parent)
    : QObject(parent)
    , session_(session)
    , voice_(std::move(voice))
{
    connect(&session_, &ClientSession::turnStarted, this, [this] {
        say(QStringLiteral("Your turn. ") + whatIsOnTheBoard());
    });
    connect(&session_, &ClientSession::wordAccepted, this, [this](int, const QString &word) {
        say(word + QStringLiteral(" accepted. ") + whatIsOnTheBoard());
    });
    connect(&session_, &ClientSession::wordPassed, this, [this] {
        say(QStringLiteral("Passed. ") + whatIsOnTheBoard());
    });
    connect(&session_, &ClientSession::wordRefused, this, [this](const QString &word, const QString &reason) {
        say(word.isEmpty() ? reason : word + QStringLiteral(" refused: ") + reason);
    });
    connect(&session_, &ClientSession::secondsLeft, this, [this](int seconds) {
        if (seconds == kLastSeconds)
            say(spoken::timeLeft(seconds) + QLatin1Char('.'));
    });
    connect(&session_, &ClientSession::timeIsUp, this, [this] { say(session_.board().status); });
    connect(&session_, &ClientSession::roundScored, this, [this] { say(spoken::roundScored(session_)); });
    connect(&session_, &ClientSession::winnerShown, this, [this](const QString &text) { say(text); });
    connect(&session_, &ClientSession::playerCameOrWent, this, [this](const QString &line) { say(line, Urgency::Polite); });
    connect(&session_, &ClientSession::lineAdded, this, &Announcer::chatLine);
}

void Announcer::speakSummary()
{
    say(spoken::summary(session_));
}

void Announcer::say(const QString &text, Urgency urgency)
{
    if (voice_ && !text.isEmpty())
        voice_(text, urgency);
}

QString Announcer::whatIsOnTheBoard() const
{
    const BoardState &board = session_.board();
    if (board.captionWord >= 1 && board.captionWord <= BoardState::kWords)
        return spoken::capitalised(spoken::wordCell(board, board.captionWord)) + QLatin1Char('.');
    return board.status;
}

// A player's line as the chat shows it, smilies named; the player's own lines and the system's
// are not read.
void Announcer::chatLine(const QString &line)
{
    if (!session_.options().readChatAloud)
        return;
    const std::optional<chat::ChatLine> parsed = chat::parseChatLine(line);
    if (!parsed || parsed->seat == 0 || parsed->seat == session_.localSeat())
        return;
    QString text = parsed->head;
    for (const chat::ChatItem &item : parsed->items)
        text += item.kind == chat::ChatItem::Kind::Smiley ? QStringLiteral(" smiley ") : item.text;
    say(text.simplified(), Urgency::Polite);
}
