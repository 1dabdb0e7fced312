#include "client/board.h"

#include "accessibility/spoken.h"
#include "client/accessible_interfaces.h"
#include "client/board_controls.h"
#include "client/board_scale.h"
#include "client/entry_outline.h"
#include "client/heard_views.h"
#include "client/picture_controls.h"
#include "client/tile_set.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

namespace layout = art::layout;

Tile::Tile(const QString &objectName, const QString &spokenAs, const QRect &place, QWidget *parent)
    : QLabel(parent)
    , spokenAs_(spokenAs)
{
    setObjectName(objectName);
    board_scale::place(this, place);
}

void Tile::draw(const TileState &state, const TileSet &tiles)
{
    code_ = state.code;
    // A screen reader says the letter the tile shows.
    const QString letter = !state.drawn ? QString()
                           : spokenAs_ + (code_ >= 1 && code_ <= 26 ? QString(QChar(u'A' + code_ - 1)) : QStringLiteral("blank"));
    if (accessibleName() != letter)
        setAccessibleName(letter);
    if (!state.drawn) {
        board_scale::show(this, {});
        return;
    }
    board_scale::show(this, [&tiles, code = code_](qreal dpr) { return tiles.picture(code, dpr); });
}

Board::Board(QWidget *board, const TileSet &tiles)
    : QObject(board)
    , tiles_(tiles)
{
    label_wordcount = textLabel(board, QStringLiteral("label_wordcount"), layout::wordCaption, boardFont(16, true),
                                Qt::AlignCenter);
    for (int position = 1; position <= BoardState::kPositions; ++position) {
        const QString n = QString::number(position);
        puzzle_[size_t(position - 1)] = new Tile(QStringLiteral("image_puzzle") + n, QStringLiteral("letter %1: ").arg(position),
                                                 layout::puzzleTile(position), board);
        entry_[size_t(position - 1)] = new Tile(QStringLiteral("image_word") + n, QStringLiteral("your letter %1: ").arg(position),
                                                layout::entryTile(position), board);
    }
    table_ = new WordTable(board);
    for (int word = 1; word <= BoardState::kWords; ++word) {
        marks_[size_t(word - 1)] = pictureLabel(board, QStringLiteral("image_check%1").arg(word),
                                                layout::progressMark(word), [](qreal dpr) { return art::progressMark(dpr); });
    }
    outline_ = new EntryOutline(layout::entryTile(1).united(layout::entryTile(BoardState::kPositions)), board);
    outline_->setProperty(kAccessibleRole, int(QAccessible::Grouping));
    image_goodjob = pictureLabel(board, QStringLiteral("image_goodjob"), layout::goodJob, [](qreal dpr) { return art::goodJob(dpr); });

    button_pass = new PlateButton(QStringLiteral("button_pass"), &art::passPlate, board);
    button_pass->setAccessibleName(QStringLiteral("PASS WORD"));
    board_scale::place(button_pass, layout::passPlate);
    connect(button_pass, &QPushButton::clicked, this, &Board::passClicked);
    button_clear = new PlateButton(QStringLiteral("button_clear"), &art::clearPlate, board);
    button_clear->setAccessibleName(QStringLiteral("CLEAR WORD"));
    board_scale::place(button_clear, layout::clearPlate);
    connect(button_clear, &QPushButton::clicked, this, &Board::clearClicked);

    label_status = textLabel(board, QStringLiteral("label_status"), layout::statusLine, boardFont(13, true),
                             Qt::AlignCenter);

    checkbox_typing = new ClickLabel(board);
    checkbox_typing->setObjectName(QStringLiteral("checkbox_typing"));
    board_scale::place(checkbox_typing, layout::typingBox);
    checkbox_typing->setCursor(Qt::PointingHandCursor);
    checkbox_typing->setRole(QAccessible::CheckBox);
    checkbox_typing->setAccessibleName(QStringLiteral("Type In Chat"));
    checkbox_typing->setFocusPolicy(Qt::TabFocus);
    label_typing = new ClickLabel(QStringLiteral("Type In Chat"), board);
    label_typing->setObjectName(QStringLiteral("label_typing"));
    board_scale::letter(label_typing, boardFont(12, true));
    board_scale::placeFitted(label_typing, layout::typingCaption);
    label_typing->setCursor(Qt::PointingHandCursor);
    label_typing->setBuddy(checkbox_typing);
    setTextColour(label_typing, art::palette::ink);
    connect(checkbox_typing, &ClickLabel::clicked, this, &Board::typingClicked);
    connect(label_typing, &ClickLabel::clicked, this, &Board::typingClicked);
    draw(BoardState(), false);
}

QWidget *Board::keyTarget() const
{
    return outline_;
}

void Board::setKeysElsewhere(QWidget *elsewhere)
{
    outline_->setKeysElsewhere(elsewhere);
}

void Board::draw(const BoardState &state, bool hasKeys)
{
    outline_->setVisible(hasKeys);
    // Where the keys go during a turn: a screen reader names the word they are typed for.
    const QString typingFor = QStringLiteral("your word for ") + spoken::wordCell(state, state.captionWord);
    if (outline_->accessibleName() != typingFor)
        outline_->setAccessibleName(typingFor);
    label_wordcount->setText(state.caption());
    for (int position = 1; position <= BoardState::kPositions; ++position) {
        puzzleTile(position)->draw(state.puzzle[size_t(position - 1)], tiles_);
        entryTile(position)->draw(state.entry[size_t(position - 1)], tiles_);
    }
    for (int word = 1; word <= BoardState::kWords; ++word)
        drawMark(word, state.mark(word));
    table_->draw(state);
    button_pass->setVisible(state.buttons);
    button_clear->setVisible(state.buttons);
    image_goodjob->setVisible(state.goodJob);
    status_ = state.status;
    label_status->setText(progress_.isEmpty() ? status_ : progress_);
    if (!typingDrawn_ || typingShown_ != state.typeInChat) {
        board_scale::show(checkbox_typing, [on = state.typeInChat](qreal dpr) { return art::typingBox(on, dpr); });
        checkbox_typing->setChecked(state.typeInChat);
        typingShown_ = state.typeInChat;
        typingDrawn_ = true;
    }
}

// A check for a word done, a cross for a refused answer; a screen reader says which.
void Board::drawMark(int wordNumber, WordRecord::Mark kind)
{
    QLabel *label = mark(wordNumber);
    label->setVisible(kind != WordRecord::Mark::None);
    WordRecord::Mark &shown = marksShown_[size_t(wordNumber - 1)];
    if (kind == shown || kind == WordRecord::Mark::None)
        return;
    shown = kind;
    const bool done = kind == WordRecord::Mark::Done;
    board_scale::show(label, [done](qreal dpr) { return done ? art::progressMark(dpr) : art::refusedMark(dpr); });
    label->setAccessibleName(QStringLiteral("word %1: %2").arg(wordNumber).arg(QLatin1String(done ? "done" : "wrong")));
}

QPushButton *Board::passButton() const
{
    return button_pass;
}

QPushButton *Board::clearButton() const
{
    return button_clear;
}

QString Board::status() const
{
    return label_status->text();
}

void Board::showProgress(const QString &text)
{
    progress_ = text;
    label_status->setText(progress_.isEmpty() ? status_ : progress_);
}
