#include "client/board.h"

#include "client/board_controls.h"
#include "client/entry_outline.h"
#include "client/picture_controls.h"
#include "client/tile_set.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

namespace layout = art::layout;

Tile::Tile(const QString &objectName, const QRect &place, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(objectName);
    setGeometry(place);
}

void Tile::draw(const TileState &state, const TileSet &tiles)
{
    code_ = state.code;
    const QPixmap picture = state.drawn ? tiles.picture(code_) : QPixmap();
    if (picture.isNull())
        clear();
    else
        setPixmap(picture);
}

Board::Board(QWidget *board, const TileSet &tiles)
    : QObject(board)
    , tiles_(tiles)
{
    label_wordcount = textLabel(board, QStringLiteral("label_wordcount"), layout::wordCaption, boardFont(16, true),
                                Qt::AlignCenter);
    for (int position = 1; position <= BoardState::kPositions; ++position) {
        const QString n = QString::number(position);
        puzzle_[size_t(position - 1)] = new Tile(QStringLiteral("image_puzzle") + n, layout::puzzleTile(position), board);
        entry_[size_t(position - 1)] = new Tile(QStringLiteral("image_word") + n, layout::entryTile(position), board);
    }
    for (int word = 1; word <= BoardState::kWords; ++word) {
        marks_[size_t(word - 1)] = pictureLabel(board, QStringLiteral("image_check%1").arg(word),
                                                layout::progressMark(word), art::progressMark());
    }
    outline_ = new EntryOutline(layout::entryTile(1).united(layout::entryTile(BoardState::kPositions)), board);
    image_goodjob = pictureLabel(board, QStringLiteral("image_goodjob"), layout::goodJob, art::goodJob());

    button_pass = new PlateButton(QStringLiteral("button_pass"), &art::passPlate, board);
    button_pass->setGeometry(layout::passPlate);
    connect(button_pass, &QPushButton::clicked, this, &Board::passClicked);
    button_clear = new PlateButton(QStringLiteral("button_clear"), &art::clearPlate, board);
    button_clear->setGeometry(layout::clearPlate);
    connect(button_clear, &QPushButton::clicked, this, &Board::clearClicked);

    label_status = textLabel(board, QStringLiteral("label_status"), layout::statusLine, boardFont(13, true),
                             Qt::AlignCenter);

    checkbox_typing = new ClickLabel(board);
    checkbox_typing->setObjectName(QStringLiteral("checkbox_typing"));
    checkbox_typing->setGeometry(layout::typingBox);
    checkbox_typing->setCursor(Qt::PointingHandCursor);
    label_typing = new ClickLabel(QStringLiteral("Type In Chat"), board);
    label_typing->setObjectName(QStringLiteral("label_typing"));
    label_typing->setFont(boardFont(12, true));
    label_typing->move(layout::typingCaption);
    label_typing->adjustSize();
    label_typing->setCursor(Qt::PointingHandCursor);
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
    label_wordcount->setText(state.caption());
    for (int position = 1; position <= BoardState::kPositions; ++position) {
        puzzleTile(position)->draw(state.puzzle[size_t(position - 1)], tiles_);
        entryTile(position)->draw(state.entry[size_t(position - 1)], tiles_);
    }
    for (int word = 1; word <= BoardState::kWords; ++word)
        mark(word)->setVisible(state.marks[size_t(word - 1)]);
    button_pass->setVisible(state.buttons);
    button_clear->setVisible(state.buttons);
    image_goodjob->setVisible(state.goodJob);
    label_status->setText(state.status);
    if (!typingDrawn_ || typingShown_ != state.typeInChat) {
        checkbox_typing->setPixmap(art::typingBox(state.typeInChat));
        typingShown_ = state.typeInChat;
        typingDrawn_ = true;
    }
}

QString Board::status() const
{
    return label_status->text();
}
