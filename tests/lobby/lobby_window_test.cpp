// The lobby window as a player meets it: shown once when a solo game starts, its panels, texts,
// buttons and picture.

#include "tests/lobby/lobby_fixture.h"

#include "app/lobby/jpeg_picture.h"

#include <QGuiApplication>
#include <QScreen>

using testing_support::settle;
using testing_support::waitUntil;

namespace {

QString text(const QWidget &window, const char *name)
{
    const auto *label = window.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QByteArray pictureBytes()
{
    QFile file(QStringLiteral(":/lobby/lobby.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class LobbyWindow : public LobbyFixture
{
};

TEST_F(LobbyWindow, ASoloGameShowsItOnceOnTopOfTheGameWithItsThreePanels)
{
    auto solo = start({});
    ASSERT_TRUE(waitUntil([&] { return rowName(*solo, 1) == QLatin1String("You"); }));
    Tdownload &lobby = solo->download();
    ASSERT_TRUE(lobby.isVisible());
    EXPECT_FALSE(lobby.isModal());
    EXPECT_EQ(lobby.windowTitle(), "Download The Kovren Lobby");
    EXPECT_EQ(lobby.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(lobby.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(lobby.frameGeometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());

    EXPECT_EQ(text(lobby, "label_download"),
              "Download The Kovren Lobby Now to play this  and other exciting games online with other players! ");
    EXPECT_EQ(text(lobby, "label_solo"),
              "To proceed to the game without the ability to play against others click the button below.");
    EXPECT_EQ(text(lobby, "label_firewall"), "Note: Even if you are playing offline, you will need to configure your "
                                             "FIREWALL to allow the game to access the internet components.");
    EXPECT_EQ(text(lobby, "label_lobby"), "If you already have The Kovren Lobby and you wish to play with others then "
                                          "click the button below to close this game and open The Kovren Lobby.");
    EXPECT_EQ(lobby.getbutton->text(), "Download And Install The Kovren Lobby Now");
    EXPECT_EQ(lobby.abortbutton->text(), "Stop Download");
    EXPECT_EQ(lobby.Button1->text(), "Play Solo Game");
    EXPECT_EQ(lobby.Button2->text(), "Play with Others");
    EXPECT_TRUE(lobby.Button1->isDefault());
    EXPECT_TRUE(lobby.getbutton->isEnabled());
    EXPECT_FALSE(lobby.abortbutton->isEnabled());
    EXPECT_TRUE(lobby.infolabel->text().isEmpty());
    EXPECT_TRUE(lobby.infolabel3->text().isEmpty());
    EXPECT_TRUE(lobby.infolabel2->isHidden());
    EXPECT_EQ(lobby.infoTag(), 0);
    ASSERT_FALSE(lobby.picture->pixmap().isNull());
    EXPECT_EQ(lobby.picture->pixmap().size(), QSize(150, 120));
    screenshot(&lobby, QStringLiteral("lobby-window"));

    // Enter presses "Play Solo Game": the window goes and the solo game goes on.
    QTest::keyClick(&lobby, Qt::Key_Return);
    EXPECT_FALSE(lobby.isVisible());
    settle(100);
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(solo->chat().startButton()->isVisible());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    // Copies that host or join for the lobby application never show it.
    auto ann = host(QStringLiteral("Ann"));
    EXPECT_FALSE(ann->download().isVisible());
    auto bob = start({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, portOf(*ann));
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Bob"); }));
    EXPECT_FALSE(bob->download().isVisible());
}

TEST_F(LobbyWindow, TheCarriedPictureDecodesAndADamagedOneGivesNothing)
{
    const QByteArray sound = pictureBytes();
    ASSERT_FALSE(sound.isEmpty());
    const QImage picture = decodeJpeg(sound);
    ASSERT_EQ(picture.size(), QSize(150, 120));
    // It is the art code's drawing: the middle of the globe is blue, the backdrop's corner warm.
    const QColor globe = picture.pixelColor(75, 50);
    EXPECT_GT(globe.blue(), globe.red());
    const QColor corner = picture.pixelColor(2, 2);
    EXPECT_GT(corner.red(), corner.blue());

    QByteArray flipped = sound;
    for (qsizetype i = sound.size() / 2; i < sound.size() / 2 + 64; ++i)
        flipped[i] = char(0xFF - uchar(flipped[i]));
    QByteArray hugeHeader = sound;
    const qsizetype frame = sound.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    hugeHeader[frame + 5] = char(0xFF); // height 65280 and more
    for (const QByteArray &damaged : {sound.left(sound.size() / 2), sound.left(sound.size() - 2), flipped, hugeHeader,
                                      QByteArray("not a picture at all"), QByteArray(), sound.mid(2)}) {
        EXPECT_TRUE(decodeJpeg(damaged).isNull()) << damaged.size();
    }
}
