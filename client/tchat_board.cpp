// The main window's board: letter entry from the keyboard, submitting, clearing and passing, the
// host's verdicts, and the tile sets.

#include "client/tchat.h"

#include "chat/chatentry.h"
#include "client/board.h"
#include "client/key_codes.h"
#include "client/tile_set.h"
#include "engine/messages.h"
#include "engine/wire.h"
#include "net/error_sink.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

constexpr int kVerdictMatch = 1; // a letter the masked word shows was changed
constexpr int kVerdictWord = 2;  // not in the word list

} // namespace

// ---------------------------------------------------------------- keys

bool Tchat::FormShortCut(int keyCode)
{
    if (state_.entrySeat == 0 || state_.entrySeat != state_.localSeat)
        return false;
    if (keyCode == keys::Tab) {
        settyping();
        return true;
    }
    if (state_.typeInChat)
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
        if (puzzleBoard_->backspace())
            playsounds(QStringLiteral("backspace"));
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
        if (puzzleBoard_->typeLetter(keyCode - keys::A + 1))
            playsounds(QStringLiteral("clickletter"));
        return true;
    }
    return false;
}

void Tchat::settyping()
{
    state_.typeInChat = !state_.typeInChat;
    puzzleBoard_->showTyping(state_.typeInChat);
    // The keys that the board does not take go to the focused control: the chat entry while the
    // keyboard belongs to the chat, else the board, so that nothing lands in the chat by mistake.
    if (state_.typeInChat)
        mychat_->setFocus();
    else
        board_->setFocus();
}

void Tchat::switchToChat()
{
    if (!state_.typeInChat)
        settyping();
}

void Tchat::switchToBoard()
{
    state_.typeInChat = true;
    settyping();
}

// ---------------------------------------------------------------- submit, clear, pass

void Tchat::hitdone()
{
    puzzleBoard_->setStatus(QStringLiteral("Checking Word..."));
    if (state_.entrySeat == 0 || state_.entrySeat != state_.localSeat)
        return;
    if (!puzzleBoard_->entryComplete()) {
        puzzleBoard_->setStatus(QStringLiteral("Invalid Word"));
        playsounds(QStringLiteral("invalid"));
        return;
    }
    // Nothing more is typed until the host has answered: no word goes twice.
    state_.entrySeat = 0;
    if (state_.connected)
        send(msg::myword(state_.localSeat, puzzleBoard_->entryCodes()));
}

void Tchat::hitclear()
{
    puzzleBoard_->clearEntry();
    playsounds(QStringLiteral("clear"));
}

void Tchat::hitpass()
{
    if (state_.isPlayer() && state_.connected)
        send(msg::pass(state_.localSeat));
    playsounds(QStringLiteral("pass"));
}

// ---------------------------------------------------------------- words and verdicts

void Tchat::setword(int wordNumber, const QByteArray &masked)
{
    puzzleBoard_->setword(wordNumber, masked);
}

void Tchat::newword(const QByteArray &data)
{
    puzzleBoard_->setGoodJobVisible(false);
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    const std::optional<int> seat = wire::toNumber(fields.value(0));
    const std::optional<int> done = wire::toNumber(fields.value(1));
    const std::optional<int> wordNumber = wire::toNumber(fields.value(2));
    if (!seat || !done || !wordNumber || *seat != state_.localSeat)
        return;
    state_.entrySeat = state_.localSeat;
    if (*done != 0) {
        puzzleBoard_->showMark(*done);
        playsounds(QStringLiteral("goodword"));
    }
    puzzleBoard_->clearEntry();
    setword(*wordNumber, fields.value(3));
    if (state_.localSeat <= ClientState::kPlayerSeats) {
        puzzleBoard_->setButtonsVisible(true);
        puzzleBoard_->setStatus(QStringLiteral("Create Another Word"));
    }
}

void Tchat::invalid(const QByteArray &data)
{
    puzzleBoard_->setGoodJobVisible(false);
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    const std::optional<int> seat = wire::toNumber(fields.value(0));
    const std::optional<int> verdict = wire::toNumber(fields.value(1));
    if (!seat || !verdict || *seat != state_.localSeat)
        return;
    if (*verdict == kVerdictMatch)
        puzzleBoard_->setStatus(QStringLiteral("Invalid Match"));
    else if (*verdict == kVerdictWord)
        puzzleBoard_->setStatus(QStringLiteral("Invalid Word"));
    state_.entrySeat = state_.localSeat;
    if (autoErase())
        hitclear();
    playsounds(QStringLiteral("invalid"));
}

bool Tchat::autoErase() const
{
    return AutoErase1->isChecked();
}

void Tchat::autoeraseClick()
{
    AutoErase1->trigger();
}

// ---------------------------------------------------------------- tile sets

void Tchat::grouptilesmenu()
{
    for (const QString &name : TileSet::namesInFolder())
        creategrouptilesmenu(name);
}

void Tchat::creategrouptilesmenu(const QString &name)
{
    QString caption = name;
    auto *entry = tilesMenu_->addAction(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
    entry->setData(name);
    entry->setCheckable(true);
    tileSets_->addAction(entry);
    if (TileSet::isClassicName(name)) {
        entry->setChecked(true);
        tileEntryChecked_ = entry;
    }
    connect(entry, &QAction::triggered, this, [this, entry] { vrel::guarded([this, entry] { grouptilesmenuClick(entry); }); });
}

void Tchat::grouptilesmenuClick(QAction *entry)
{
    const QString name = entry->data().toString();
    if (TileSet::isClassicName(name)) {
        tiles_->useClassic();
        currentTileSet_ = name;
        tileEntryChecked_ = entry;
        redrawtiles();
    } else {
        loadgrouptiles(name);
    }
    // The menu toggled the entry on its own; the checks show the set actually in use.
    for (QAction *each : tileSets_->actions())
        each->setChecked(each == tileEntryChecked_);
}

void Tchat::loadgrouptiles(const QString &name)
{
    const QString file = TileSet::fileOf(name);
    // A set that is missing, unreadable or too small leaves the pictures as they are.
    if (file.isEmpty() || !tiles_->load(file))
        return;
    for (QAction *each : tileSets_->actions()) {
        if (each->data().toString() == name)
            tileEntryChecked_ = each;
    }
    for (QAction *each : tileSets_->actions())
        each->setChecked(each == tileEntryChecked_);
    currentTileSet_ = name;
    redrawtiles();
}

void Tchat::redrawtiles()
{
    puzzleBoard_->redrawtiles();
}
