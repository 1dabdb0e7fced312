// A larger window draws the whole board larger: the same layout, text and pictures drawn anew at
// the new size (sharper than the small board blown up), and back at the starting size the board
// is again what it was, pixel for pixel.

#include "tests/client/game_fixture.h"

#include "chat/chatentry.h"
#include "chat/chatline.h"
#include "chat/chatview.h"
#include "chat/smileybutton.h"
#include "client/tchat.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <map>

using testing_support::settle;
using testing_support::waitUntil;

namespace {

// Every named control shown on the board, where it is on the board.
std::map<QString, QRect> placesOnBoard(QWidget *board)
{
    std::map<QString, QRect> places;
    for (QWidget *control : board->findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && control->isVisibleTo(board) && !control->objectName().startsWith(QLatin1String("qt_")))
            places[control->objectName()] = QRect(control->mapTo(board, QPoint(0, 0)), control->size());
    }
    return places;
}

// How much the picture changes from one pixel to the next, summed over an area: blurred text and
// edges change little, crisp ones a lot.
double edgeEnergy(const QImage &image, const QRect &area)
{
    double sum = 0;
    for (int y = area.top(); y < area.bottom(); ++y) {
        for (int x = area.left(); x < area.right(); ++x) {
            const int here = qGray(image.pixel(x, y));
            sum += std::abs(here - qGray(image.pixel(x + 1, y))) + std::abs(here - qGray(image.pixel(x, y + 1)));
        }
    }
    return sum;
}

double meanDifference(const QImage &a, const QImage &b, const QRect &area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (area.width() * area.height());
}

QRect times(const QRect &at1x, qreal scale)
{
    return QRectF(at1x.x() * scale, at1x.y() * scale, at1x.width() * scale, at1x.height() * scale).toRect();
}

// The window resized so that the room for the board is exactly `room`.
void giveBoardRoom(Tchat &window, const QSize &room)
{
    window.resize(window.size() + room - window.centralWidget()->size());
    settle(30);
}

std::vector<qreal> smileyWidths(chat::ChatView *view)
{
    std::vector<qreal> widths;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
        for (auto part = block.begin(); !part.atEnd(); ++part)
            if (part.fragment().charFormat().isImageFormat())
                widths.push_back(part.fragment().charFormat().toImageFormat().width());
    return widths;
}

} // namespace

class WindowScale : public GameFixture
{
};

TEST_F(WindowScale, ALargerWindowDrawsTheWholeBoardLargerAndCrispAndTheStartingSizeIsUnchanged)
{
    QApplication::setCursorFlashTime(0);
    auto ann = hostGame(QStringLiteral("Ann"));
    startGame(*ann, 1, 60);
    ASSERT_TRUE(waitUntil([&] { return ownsBoard(*ann); }));
    type(*ann, QStringLiteral("ap"));
    chat::ChatView *view = ann->chat().mainchat();
    view->addlinetochat(QStringLiteral("1+Ann: look ") + chat::SmileyMarker + QString::number(chat::SmileyButton::FirstMenuCode), 0);
    Tchat &window = ann->chat();
    QWidget *board = window.board();
    settle(30);
    ASSERT_EQ(window.boardScale(), 1.0);
    const QSize startingRoom = window.centralWidget()->size();
    const QImage small = board->grab().toImage();
    const std::map<QString, QRect> smallPlaces = placesOnBoard(board);
    const int statusPixels = board->findChild<QLabel *>(QStringLiteral("label_status"))->font().pixelSize();
    ASSERT_GT(smallPlaces.size(), 40u);

    giveBoardRoom(window, QSize(1152, 800));
    ASSERT_EQ(window.boardScale(), 1.5);
    screenshot(&window, QStringLiteral("window-1.5x"));
    EXPECT_EQ(board->size(), QSize(1146, 794));
    // Centred in its room, and every control keeps its place and size, half again as large.
    EXPECT_EQ(board->pos(), QPoint(3, 3));
    const std::map<QString, QRect> largePlaces = placesOnBoard(board);
    for (const auto &[name, small1x] : smallPlaces) {
        ASSERT_TRUE(largePlaces.count(name)) << qPrintable(name);
        const QRect expected = times(small1x, 1.5);
        const QRect large = largePlaces.at(name);
        EXPECT_NEAR(large.left(), expected.left(), 1) << qPrintable(name);
        EXPECT_NEAR(large.top(), expected.top(), 1) << qPrintable(name);
        EXPECT_NEAR(large.height(), expected.height(), 1) << qPrintable(name);
        if (name != QLatin1String("label_typing")) { // its box grows to its text
            EXPECT_NEAR(large.width(), expected.width(), 1) << qPrintable(name);
        }
    }
    EXPECT_NEAR(board->findChild<QLabel *>(QStringLiteral("label_status"))->font().pixelSize(), statusPixels * 1.5, 0.5);
    // The chat's text and its smilies, the earlier line's included, grow with the board.
    EXPECT_EQ(view->document()->defaultFont().pointSizeF(), view->textSize() * 1.5);
    view->addlinetochat(QStringLiteral("1+Ann: again ") + chat::SmileyMarker + QString::number(chat::SmileyButton::FirstMenuCode), 0);
    EXPECT_EQ(smileyWidths(view), (std::vector<qreal> {25.5, 25.5}));

    // The large board is the small one's layout: shrunk back, it differs little anywhere; yet it
    // is drawn anew, not blown up: its text and edges are sharper than the small board enlarged.
    const QImage large = board->grab().toImage();
    ASSERT_EQ(large.size(), QSize(1146, 794));
    const QImage shrunk = large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage blownUp = small.scaled(large.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // (Texts are left out: letters do not grow in proportion, so a centred caption moves a little.)
    for (const char *name : {"image_puzzle1", "image_word2", "button_pass", "b_phrase1", "image_timer", "board"}) {
        const QString control = QString::fromLatin1(name);
        const QRect area = control == QLatin1String("board") ? small.rect() : smallPlaces.at(control);
        EXPECT_LT(meanDifference(shrunk, small, area), 12.0) << name; // 3 to 7.5 here
    }
    for (const char *name : {"label_status", "label_playername1", "label_roundnum"}) {
        const QRect area = largePlaces.at(QString::fromLatin1(name));
        EXPECT_GT(edgeEnergy(large, area), 1.1 * edgeEnergy(blownUp, area)) << name; // 1.2 to 1.26 here
    }

    // Too little room for the next size, and the board stays as it is; at the starting size it
    // is the board it was.
    giveBoardRoom(window, QSize(1152 + 40, 800 + 20));
    EXPECT_EQ(window.boardScale(), 1.5);
    giveBoardRoom(window, startingRoom);
    ASSERT_EQ(window.boardScale(), 1.0);
    EXPECT_EQ(board->pos(), QPoint(0, 0));
    EXPECT_EQ(placesOnBoard(board), smallPlaces);
    EXPECT_EQ(smileyWidths(view), (std::vector<qreal> {17, 17}));
    // The chat has a line more than it had; the rest of the board is compared as it stands.
    QImage before = small;
    QImage again = board->grab().toImage();
    for (QImage *image : {&before, &again}) {
        QPainter painter(image);
        painter.fillRect(smallPlaces.at(view->objectName()), Qt::black);
    }
    EXPECT_TRUE(again == before) << "the board at the starting size changed after a larger one";
}
