// The session's board: letter entry from the keyboard, submitting, clearing and passing, and the
// host's answers to a word.

#include "session/client_session.h"

#include "session/keys.h"

// ---------------------------------------------------------------- keys

ClientSession::BoardKey ClientSession::boardKey(int keyCode) const
{
    if (!ownsBoard())
        return BoardKey::None;
    if (keyCode == keys::Tab || (keyCode == keys::Escape && board_.typeInChat))
        return BoardKey::Typing;
    if (board_.typeInChat)
        return BoardKey::None;
    switch (keyCode) {
    case keys::One:
    case keys::Space: return BoardKey::Pass;
    case keys::Enter: return BoardKey::Submit;
    case keys::Backspace: return BoardKey::Backspace;
    case keys::EqualsPlus:
    case keys::Zero: return BoardKey::Clear;
    default: break;
    }
    return keyCode >= keys::A && keyCode <= keys::Z ? BoardKey::Letter : BoardKey::None;
}

bool ClientSession::FormShortCut(int keyCode)
{
    switch (boardKey(keyCode)) {
    case BoardKey::None: return false;
    case BoardKey::Typing: settyping(); break;
    case BoardKey::Pass: hitpass(); break;
    case BoardKey::Submit: hitdone(); break;
    case BoardKey::Backspace:
        if (board_.backspace()) {
            touch(Board);
            playsounds(QStringLiteral("backspace"));
        }
        break;
    case BoardKey::Clear: hitclear(); break;
    case BoardKey::Letter:
        // A sixth letter is swallowed without a sound.
        if (board_.typeLetter(keyCode - keys::A + 1)) {
            touch(Board);
            playsounds(QStringLiteral("clickletter"));
        }
        break;
    }
    return true;
}

void ClientSession::settyping()
{
    board_.typeInChat = !board_.typeInChat;
    touch(Board);
    emit typingChanged(board_.typeInChat);
}

void ClientSession::chooseChat()
{
    if (ownsBoard())
        switchToChat();
}

void ClientSession::chooseBoard()
{
    if (ownsBoard() && board_.typeInChat)
        switchToBoard();
}

void ClientSession::setEntrySeat(int seat)
{
    entrySeat_ = seat;
    wordSent_ = false;
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
        emit wordRefused(board_.entryText(), board_.status);
        return;
    }
    // Nothing more is typed until the host has answered: no word goes twice.
    setEntrySeat(0);
    wordSent_ = true;
    sentWord_ = board_.entryText();
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
    setEntrySeat(localSeat_);
    if (m.done != 0) {
        board_.accept(m.done, sentWord_);
        playsounds(QStringLiteral("goodword"));
    }
    board_.clearEntry();
    setword(m.wordNumber, m.masked);
    if (isPlayer()) {
        board_.buttons = true;
        board_.status = QStringLiteral("Create Another Word");
    }
    touch(Board);
    answered(m.done);
}

void ClientSession::answered(int doneWordNumber)
{
    if (doneWordNumber != 0)
        emit wordAccepted(doneWordNumber, sentWord_);
    else
        emit wordPassed();
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
    board_.refuse(board_.captionWord, sentWord_, board_.status);
    touch(Board);
    setEntrySeat(localSeat_);
    if (options_.autoErase)
        hitclear();
    playsounds(QStringLiteral("invalid"));
    emit wordRefused(sentWord_, board_.status);
}
