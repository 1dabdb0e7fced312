// The session's board: letter entry from the keyboard, submitting, clearing and passing, and the
// host's answers to a word.

#include "session/client_session.h"

#include "session/keys.h"

// ---------------------------------------------------------------- keys

bool ClientSession::FormShortCut(int keyCode)
{
    if (!ownsBoard())
        return false;
    if (keyCode == keys::Tab) {
        settyping();
        return true;
    }
    if (board_.typeInChat)
        return false;
    switch (keyCode) {
    case keys::One:
    case keys::Space:
        hitpass();
        return true;
    case keys::Enter:
        hitdone();
        return true;
    case keys::Backspace:
        if (board_.backspace()) {
            touch(Board);
            playsounds(QStringLiteral("backspace"));
        }
        return true;
    case keys::EqualsPlus:
    case keys::Zero:
        hitclear();
        return true;
    default:
        break;
    }
    if (keyCode >= keys::A && keyCode <= keys::Z) {
        // A sixth letter is swallowed without a sound.
        if (board_.typeLetter(keyCode - keys::A + 1)) {
            touch(Board);
            playsounds(QStringLiteral("clickletter"));
        }
        return true;
    }
    return false;
}

void ClientSession::settyping()
{
    board_.typeInChat = !board_.typeInChat;
    touch(Board);
    emit typingChanged(board_.typeInChat);
}

void ClientSession::switchToChat()
{
    if (!board_.typeInChat)
        settyping();
}

void ClientSession::switchToBoard()
{
    board_.typeInChat = true;
    settyping();
}

// ---------------------------------------------------------------- submit, clear, pass

void ClientSession::hitdone()
{
    board_.status = QStringLiteral("Checking Word...");
    touch(Board);
    if (!ownsBoard())
        return;
    if (!board_.entryComplete()) {
        board_.status = QStringLiteral("Invalid Word");
        touch(Board);
        playsounds(QStringLiteral("invalid"));
        return;
    }
    // Nothing more is typed until the host has answered: no word goes twice.
    entrySeat_ = 0;
    if (connected_)
        send(msg::encode(msg::MyWord {localSeat_, board_.entryCodes()}));
}

void ClientSession::hitclear()
{
    board_.clearEntry();
    touch(Board);
    playsounds(QStringLiteral("clear"));
}

void ClientSession::hitpass()
{
    if (isPlayer() && connected_)
        send(msg::encode(msg::Pass {localSeat_}));
    playsounds(QStringLiteral("pass"));
}

void ClientSession::redrawtiles()
{
    board_.redrawtiles();
    touch(Board);
}

// ---------------------------------------------------------------- words and verdicts

void ClientSession::setword(int wordNumber, const QByteArray &masked)
{
    board_.setword(wordNumber, masked);
    touch(Board);
}

void ClientSession::newword(const msg::NewWord &m)
{
    board_.goodJob = false;
    touch(Board);
    if (m.seat != localSeat_)
        return;
    entrySeat_ = localSeat_;
    if (m.done != 0) {
        board_.showMark(m.done);
        playsounds(QStringLiteral("goodword"));
    }
    board_.clearEntry();
    setword(m.wordNumber, m.masked);
    if (isPlayer()) {
        board_.buttons = true;
        board_.status = QStringLiteral("Create Another Word");
    }
    touch(Board);
}

void ClientSession::invalid(const msg::Invalid &m)
{
    board_.goodJob = false;
    touch(Board);
    if (m.seat != localSeat_)
        return;
    if (m.verdict == proto::VerdictMatch)
        board_.status = QStringLiteral("Invalid Match");
    else if (m.verdict == proto::VerdictWord)
        board_.status = QStringLiteral("Invalid Word");
    touch(Board);
    entrySeat_ = localSeat_;
    if (options_.autoErase)
        hitclear();
    playsounds(QStringLiteral("invalid"));
}
