// What the lobby window starts, in a running solo game: the downloaded installer (only with its
// digest) and the lobby application, each of which ends the game; and the game going on while
// the installer downloads.

#include "tests/lobby/lobby_fixture.h"

#include "app/lobby/lobby_programs.h"

#include <QCryptographicHash>
#include <QSet>

using testing_support::ScriptedHttpServer;
using testing_support::settle;
using testing_support::waitUntil;

namespace {

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

class LobbyPrograms : public LobbyFixture
{
protected:
    // A solo game whose player is seated, its lobby window on top.
    std::unique_ptr<VrelProgram> soloGame()
    {
        auto solo = start({});
        EXPECT_TRUE(waitUntil([&] { return rowName(*solo, 1) == QLatin1String("You"); }));
        EXPECT_TRUE(solo->download().isVisible());
        return solo;
    }
};

TEST_F(LobbyPrograms, TheDownloadedInstallerRunsWithItsThreeArgumentsOnlyWhenItsDigestMatches)
{
    const QString ran = inHome(QStringLiteral("installer-ran"));
    const QByteArray installer = "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + ran.toUtf8() + "'\n";
    ScriptedHttpServer server([&installer](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        exchange.send(ScriptedHttpServer::answer("200 OK", installer));
    });
    const QString url = server.url(QStringLiteral("/lobby/KovrenLobbySetup"));
    const QString right = sha256(installer);

    for (const QString &wrong : {QString(), sha256("something else"), right.left(63), right.left(62) + QStringLiteral("zz")}) {
        configure(url, wrong);
        auto solo = soloGame();
        QTest::mouseClick(solo->download().getbutton, Qt::LeftButton);
        EXPECT_EQ(solo->download().infolabel3->text(), "Installing");
        EXPECT_EQ(boxes, QStringList({"An Error has Occurred."})) << wrong.toStdString();
        settle(200);
        EXPECT_FALSE(QFile::exists(ran)) << wrong.toStdString();
        EXPECT_EQ(endings, 0);
        EXPECT_TRUE(solo->chat().isVisible());
        boxes.clear();
    }

    configure(url, right.toUpper());
    auto solo = soloGame();
    QTest::mouseClick(solo->download().getbutton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(ran) && contents(ran).endsWith('\n') && contents(ran).count('\n') == 4; }));
    EXPECT_EQ(contents(ran), "3\n/SP-\n/silent\n/noicons\n");
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(solo->chat().isVisible());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_TRUE(QFile::permissions(inHome(QStringLiteral("KovrenLobbySetup"))) & QFile::ExeOwner);
}

TEST_F(LobbyPrograms, PlayWithOthersOpensTheLobbyApplicationWhereItIsInstalled)
{
    const QString lobbyProgram = inHome(QStringLiteral("kovren/KovrenLobby"));
    const QString ran = inHome(QStringLiteral("lobby-ran"));
    configure(QStringLiteral("http://download.invalid/Setup"), {}, lobbyProgram);
    {
        auto solo = soloGame();
        QTest::mouseClick(solo->download().Button2, Qt::LeftButton);
        EXPECT_EQ(boxes, QStringList({Tdownload::kNoLobbyText}));
        EXPECT_EQ(boxes.value(0), "Please close the game and open the Kovren Lobby using the icon on your desktop or "
                                  "using the your Window's start-up menu.");
        EXPECT_TRUE(solo->download().isVisible());
        settle(100);
        EXPECT_EQ(endings, 0);
    }
    boxes.clear();
    endings = 0;

    ASSERT_TRUE(QDir().mkpath(inHome(QStringLiteral("kovren"))));
    writeScript(lobbyProgram, "echo \"$#\" > '" + ran.toUtf8() + "'\n");
    auto solo = soloGame();
    QTest::mouseClick(solo->download().Button2, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return contents(ran) == "0\n"; }));
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(LobbyPrograms, ChatFromTheHostKeepsArrivingWhileTheInstallerDownloads)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        ScriptedHttpServer::slowBody(exchange, 20);
    });
    configure(server.url(QStringLiteral("/KovrenLobbySetup")));
    auto solo = soloGame();
    auto bob = joinRaw(portOf(*solo), "Bob");
    ASSERT_TRUE(waitUntil([&] { return rowName(*solo, 2) == QLatin1String("Bob"); }));
    Tdownload &lobby = solo->download();

    // Bob chats every 50 ms; what the window shows is read while the download runs.
    int sent = 0;
    QTimer chatting;
    QObject::connect(&chatting, &QTimer::timeout, [&] {
        bob->send("CMD_chat+2+line " + QByteArray::number(++sent) + "|clRed\xFF");
    });
    chatting.start(50);
    QSet<QString> shownWhileDownloading;
    Watch watch([&] {
        if (!lobby.HttpCli1->busy())
            return;
        for (const QString &line : chatLines(*solo)) {
            if (line.startsWith(QLatin1String("Bob chats: line")))
                shownWhileDownloading << line;
        }
        if (lobby.infolabel->text() == QLatin1String("1000 bytes"))
            screenshot(&lobby, QStringLiteral("lobby-over-game"));
    });
    QTest::mouseClick(lobby.getbutton, Qt::LeftButton);
    chatting.stop();

    EXPECT_EQ(Look::of(lobby).progress, "Received 2000 bytes");
    EXPECT_GE(shownWhileDownloading.size(), 5) << sent << " sent";
    EXPECT_TRUE(shownWhileDownloading.contains(QStringLiteral("Bob chats: line 3")));
}

TEST_F(LobbyPrograms, OnlyAWellFormedMatchingDigestPasses)
{
    const QString file = inHome(QStringLiteral("Setup"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("installer");
    out.close();
    const QString right = sha256("installer");
    EXPECT_TRUE(lobby::hasDigest(file, right));
    EXPECT_TRUE(lobby::hasDigest(file, QStringLiteral(" ") + right.toUpper() + QStringLiteral("\n")));
    for (const QString &wrong : {QString(), right.left(63), right + QStringLiteral("0"), QString(right).replace(0, 1, QLatin1Char('g')),
                                 sha256("installer2")}) {
        EXPECT_FALSE(lobby::hasDigest(file, wrong)) << wrong.toStdString();
    }
    EXPECT_FALSE(lobby::hasDigest(inHome(QStringLiteral("missing")), right));
}
