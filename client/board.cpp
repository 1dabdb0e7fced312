#include "client/board.h"

#include "client/board_controls.h"
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

void Tile::draw(const TileSet &tiles)
{
    const QPixmap picture = tiles.picture(code_);
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
    for (int position = 1; position <= kPositions; ++position) {
        const QString n = QString::number(position);
        puzzle_[size_t(position - 1)] = new Tile(QStringLiteral("image_puzzle") + n, layout::puzzleTile(position), board);
        entry_[size_t(position - 1)] = new Tile(QStringLiteral("image_word") + n, layout::entryTile(position), board);
    }
    for (int word = 1; word <= kWords; ++word) {
        marks_[size_t(word - 1)] = pictureLabel(board, QStringLiteral("image_check%1").arg(word),
                                                layout::progressMark(word), art::progressMark());
    }
    image_goodjob = pictureLabel(board, QStringLiteral("image_goodjob"), layout::goodJob, art::goodJob());

    button_pass = new PlateButton(QStringLiteral("button_pass"), &art::passPlate, board);
    button_pass->setGeometry(layout::passPlate);
    button_pass->hide();
    connect(button_pass, &QPushButton::clicked, this, &Board::passClicked);
    button_clear = new PlateButton(QStringLiteral("button_clear"), &art::clearPlate, board);
    button_clear->setGeometry(layout::clearPlate);
    button_clear->hide();
    connect(button_clear, &QPushButton::clicked, this, &Board::clearClicked);

    label_status = textLabel(board, QStringLiteral("label_status"), layout::statusLine, boardFont(13, true),
                             Qt::AlignCenter);
    label_status->setText(QStringLiteral("Welcome to Vrel by Kovren Software"));

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
    QPalette ink = label_typing->palette();
    ink.setColor(QPalette::WindowText, art::palette::ink);
    label_typing->setPalette(ink);
    connect(checkbox_typing, &ClickLabel::clicked, this, &Board::typingClicked);
    connect(label_typing, &ClickLabel::clicked, this, &Board::typingClicked);
    showTyping(true);
}

int Board::numofletter(char c)
{
    return c >= 'a' && c <= 'z' ? c - 'a' + 1 : 0;
}

QString Board::wordCaption(int wordNumber)
{
    static const char *const captions[kWords] = {
        "First Word", "Second Word", "Third Word", "Fourth Word", "Fifth Word",
        "Sixth Word", "Seventh Word", "Eight Word", "Ninth Word",  "Last Word",
    };
    if (wordNumber < 1 || wordNumber > kWords)
        return {};
    return QString::fromLatin1(captions[wordNumber - 1]);
}

void Board::setword(int wordNumber, const QByteArray &masked)
{
    if (masked.isEmpty() || wordNumber <= 0)
        return;
    setWordCaption(wordCaption(wordNumber));
    for (int position = 1; position <= kPositions; ++position) {
        Tile *tile = puzzleTile(position);
        tile->setCode(position <= masked.size() ? numofletter(masked.at(position - 1)) : 0);
        tile->draw(tiles_);
    }
}

void Board::setWordCaption(const QString &text)
{
    label_wordcount->setText(text);
}

bool Board::typeLetter(int code)
{
    if (typed_ >= kPositions)
        return false;
    ++typed_;
    Tile *tile = entryTile(typed_);
    tile->setCode(code);
    tile->draw(tiles_);
    return true;
}

bool Board::backspace()
{
    if (typed_ < 1)
        return false;
    Tile *tile = entryTile(typed_);
    tile->setCode(0);
    tile->draw(tiles_);
    --typed_;
    return true;
}

void Board::clearEntry()
{
    for (Tile *tile : entry_) {
        tile->setCode(0);
        tile->draw(tiles_);
    }
    typed_ = 0;
}

bool Board::entryComplete() const
{
    for (const Tile *tile : entry_) {
        if (tile->code() == 0)
            return false;
    }
    return true;
}

std::array<int, Board::kPositions> Board::entryCodes() const
{
    std::array<int, kPositions> codes {};
    for (int i = 0; i < kPositions; ++i)
        codes[size_t(i)] = entry_[size_t(i)]->code();
    return codes;
}

void Board::removeTilePictures()
{
    for (int position = 1; position <= kPositions; ++position) {
        puzzleTile(position)->removePicture();
        entryTile(position)->removePicture();
    }
}

void Board::emptyRows()
{
    removeTilePictures();
    for (int position = 1; position <= kPositions; ++position) {
        puzzleTile(position)->setCode(0);
        entryTile(position)->setCode(0);
    }
    typed_ = 0;
}

void Board::redrawtiles()
{
    for (int position = 1; position <= kPositions; ++position) {
        puzzleTile(position)->draw(tiles_);
        entryTile(position)->draw(tiles_);
    }
}

void Board::showMark(int wordNumber)
{
    if (wordNumber >= 1 && wordNumber <= kWords)
        mark(wordNumber)->show();
}

void Board::hideMarks()
{
    for (QLabel *mark : marks_)
        mark->hide();
}

void Board::setButtonsVisible(bool visible)
{
    button_pass->setVisible(visible);
    button_clear->setVisible(visible);
}

void Board::setGoodJobVisible(bool visible)
{
    image_goodjob->setVisible(visible);
}

bool Board::goodJobVisible() const
{
    return !image_goodjob->isHidden();
}

void Board::setStatus(const QString &text)
{
    label_status->setText(text);
}

QString Board::status() const
{
    return label_status->text();
}

void Board::showTyping(bool on)
{
    checkbox_typing->setPixmap(art::typingBox(on));
}
