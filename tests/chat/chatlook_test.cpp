#include "chat/chatentry.h"
#include "chat/chatview.h"
#include "chat/colourdrawing.h"
#include "chat/smileybutton.h"
#include "chat/smilies.h"
#include "tests/support/chat_drawing.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using namespace chat;

TEST(Smilies, EighteenDistinctPicturesCrispAtEveryPixelRatio)
{
    std::vector<QImage> pictures;
    for (int picture = 0; picture < 18; ++picture) {
        const QPixmap normal = smileyPixmap(picture, 1.0);
        const QPixmap sharp = smileyPixmap(picture, 2.0);
        EXPECT_EQ(normal.size(), QSize(17, 16));
        EXPECT_EQ(sharp.size(), QSize(34, 32));
        EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(17, 16));
        const QImage image = normal.toImage();
        // Drawn: the middle is opaque, the corners are see-through.
        EXPECT_EQ(qAlpha(image.pixel(8, 8)), 255) << picture;
        EXPECT_EQ(qAlpha(image.pixel(0, 15)), 0) << picture;
        for (const QImage &earlier : pictures)
            EXPECT_NE(image, earlier) << picture;
        pictures.push_back(image);
    }
    EXPECT_EQ(smileyName(0), QStringLiteral("smile"));
    EXPECT_FALSE(smileyPixmap(99, 1.0).isNull());
}

TEST(ColourDrawing, PlainSystemAndNoColour)
{
    QPalette palette;
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Highlight, QColor(4, 5, 6));
    EXPECT_EQ(drawingColour(0x000080FF, palette), QColor(255, 128, 0));
    EXPECT_EQ(drawingColour(0x00FF0000, palette), QColor(0, 0, 255));
    EXPECT_EQ(drawingColour(0x80000008, palette), QColor(1, 2, 3));
    EXPECT_EQ(drawingColour(0x8000000D, palette), QColor(4, 5, 6));
    EXPECT_EQ(drawingColour(0x1FFFFFFF, palette).alpha(), 0);
    EXPECT_EQ(textDrawingColour(0x1FFFFFFF, palette), QColor(1, 2, 3));
    for (quint32 index = 0; index < 26; ++index)
        EXPECT_TRUE(drawingColour(0x80000000u + index, palette).isValid()) << index;
}

// The chat corner as a player sees it. Set VREL_CHAT_SHOT to a folder to keep the pictures.
TEST(ChatLook, ViewWithLinesLinksAndSmilies)
{
    QWidget corner;
    corner.resize(470, 190);
    auto *layout = new QGridLayout(&corner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *view = new ChatView(&corner);
    auto *entry = new ChatEntry(&corner);
    auto *button = new SmileyButton(&corner);
    layout->addWidget(view, 0, 0, 1, 2);
    layout->addWidget(entry, 1, 0);
    layout->addWidget(button, 1, 1);

    view->addlinetochat(QStringLiteral("0+You are Connected."), 0x00FF0000);
    view->addlinetochat(QStringLiteral("0+Ann is Connected."), 0x00FF0000);
    view->addlinetochat(QStringLiteral("3+Ann chats: hi :)#10 there :)#11 good luck :)#12"), 0x000000FF);
    view->addlinetochat(QStringLiteral("4+Bob chats: rules at www.example.org/rules :)#25"), 0x00800080);
    view->addlinetochat(QStringLiteral("4+Bob waves :)#13:)#14:)#15:)#16:)#17:)#18:)#19"), 0x00800080);
    view->addlinetochat(QStringLiteral("7+Spy chats: :)#20:)#21:)#22:)#23:)#24:)#25:)#26:)#27"), 0x00008000);
    corner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&corner));

    const QImage shot = corner.grab().toImage();
    const QString folder = qEnvironmentVariable("VREL_CHAT_SHOT");
    if (!folder.isEmpty()) {
        shot.save(QDir(folder).filePath(QStringLiteral("chat.png")));
        // Every picture at 4x, to judge the drawing.
        QImage smilies(18 * 24 * 4, 24 * 4, QImage::Format_ARGB32);
        smilies.setDevicePixelRatio(4);
        smilies.fill(QColor(0xFF, 0xDA, 0xB0));
        QPainter painter(&smilies);
        for (int picture = 0; picture < 18; ++picture)
            painter.drawPixmap(picture * 24 + 3, 4, smileyPixmap(picture, 4.0));
        painter.end();
        smilies.save(QDir(folder).filePath(QStringLiteral("smilies.png")));
    }

    // The peach background shows, and some of the smilies' yellow and the link's green.
    const QImage viewShot = view->grab().toImage();
    int peach = 0, yellowish = 0, linkGreen = 0;
    for (int y = 0; y < viewShot.height(); ++y) {
        for (int x = 0; x < viewShot.width(); ++x) {
            const QColor c = viewShot.pixelColor(x, y);
            peach += c == QColor(0xFF, 0xDA, 0xB0);
            yellowish += c.red() > 230 && c.green() > 170 && c.blue() < 120;
            linkGreen += c == testing_support::onChat(QColor(0, 128, 0));
        }
    }
    EXPECT_GT(peach, viewShot.width() * viewShot.height() / 2);
    EXPECT_GT(yellowish, 18 * 20);
    EXPECT_GT(linkGreen, 5);
}
