// Downloading the lobby installer from a real HTTP server: the progress a player sees, where the
// file goes, and every way a download can end.

#include "tests/lobby/lobby_fixture.h"

#include "app/lobby/download_target.h"

#include <QStandardPaths>

using testing_support::ScriptedHttpServer;
using testing_support::settle;
using testing_support::waitUntil;

class LobbyDownload : public LobbyFixture
{
};

TEST_F(LobbyDownload, TheInstallerIsSavedWhileTheProgressShowsAndWithoutADigestNothingRuns)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        ScriptedHttpServer::slowBody(exchange, 6);
    });
    configure(server.url(QStringLiteral("/downloads/KovrenLobbySetup")));
    auto lobby = window();
    QList<Look> seen;
    recordProgress(*lobby, seen);
    Watch watch([&] {
        if (lobby->infolabel->text() == QLatin1String("300 bytes"))
            screenshot(lobby.get(), QStringLiteral("lobby-downloading"));
    });
    QTest::mouseClick(lobby->getbutton, Qt::LeftButton);

    // A dot for each line of the head (the status line and two headers), the file's name when the
    // body begins, then the bytes so far after each piece (pieces that arrive together count once).
    const QString name = QStringLiteral("Downloading: KovrenLobbySetup");
    const QList<Look> head {{"Loading.", "", false, true, 1}, {"Loading..", "", false, true, 1},
                            {"Loading...", "", false, true, 1}, {"Loading...", name, false, true, 1}};
    EXPECT_EQ(seen.mid(0, 4), head);
    const QList<Look> body = seen.mid(4);
    ASSERT_GE(body.size(), 3);
    int previous = 0;
    for (const Look &look : body) {
        const int bytes = look.progress.section(QLatin1Char(' '), 0, 0).toInt();
        EXPECT_EQ(look, (Look {QStringLiteral("%1 bytes").arg(bytes), name, false, true, 1}));
        EXPECT_GT(bytes, previous);
        EXPECT_EQ(bytes % 100, 0);
        previous = bytes;
    }
    EXPECT_EQ(previous, 600);
    EXPECT_EQ(Look::of(*lobby), (Look {"Received 600 bytes", "Installing", true, false, 1}));
    EXPECT_EQ(lobby->infolabel2->text(), "KovrenLobbySetup");
    EXPECT_EQ(contents(inHome(QStringLiteral("KovrenLobbySetup"))).size(), 600);
    EXPECT_TRUE(contents(inHome(QStringLiteral("KovrenLobbySetup"))).startsWith(QByteArray(100, 'a') + QByteArray(100, 'b')));
    // No digest is configured: a program that came over plain HTTP is not run.
    EXPECT_EQ(boxes, QStringList({"An Error has Occurred."}));
    EXPECT_EQ(exits, 0);
    // Nothing but the file is left in the folder.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"KovrenLobbySetup"}));
}

TEST_F(LobbyDownload, AnErrorPageIsNeitherKeptNorInstalledAndTheNextDownloadSucceeds)
{
    std::atomic<bool> missing {true};
    ScriptedHttpServer server([&missing](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        if (ScriptedHttpServer::pathOf(request) == "/files/moved")
            exchange.send(ScriptedHttpServer::answer("200 OK", "the real installer"));
        else if (missing)
            exchange.send(ScriptedHttpServer::answer("404 Not Found", "<h1>Not here</h1>"));
        else
            exchange.send(ScriptedHttpServer::answer("302 Found", "moved", {"Location: moved"}));
    });
    configure(server.url(QStringLiteral("/files/Setup.bin")));
    auto lobby = window();
    QTest::mouseClick(lobby->getbutton, Qt::LeftButton);
    EXPECT_EQ(Look::of(*lobby), (Look {"Download Aborted", "HTTP 404 Not Found", true, false, 2}));
    EXPECT_EQ(contents(inHome(QStringLiteral("Setup.bin"))), "<missing>");
    EXPECT_TRUE(QDir(home.path()).isEmpty());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    // The next download sets the Tag back to 1, follows the relative redirection and saves only
    // the final answer's body.
    missing = false;
    QTest::mouseClick(lobby->getbutton, Qt::LeftButton);
    EXPECT_EQ(Look::of(*lobby), (Look {"Received 18 bytes", "Installing", true, false, 1}));
    EXPECT_EQ(contents(inHome(QStringLiteral("Setup.bin"))), "the real installer");
    EXPECT_EQ(ScriptedHttpServer::pathOf(server.requests().last()), "/files/moved");
}

TEST_F(LobbyDownload, StopDownloadEndsASlowBodyAndLeavesNothingOfIt)
{
    std::atomic<bool> clientLeft {false};
    ScriptedHttpServer server([&](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        clientLeft = !ScriptedHttpServer::slowBody(exchange, 200);
    });
    configure(server.url(QStringLiteral("/slow/Setup")));
    auto lobby = window();
    Look beforeStop {};
    Look afterStop {};
    bool stopped = false;
    Watch watch([&] {
        if (!stopped && lobby->infolabel->text().endsWith(QLatin1String(" bytes"))) {
            stopped = true;
            beforeStop = Look::of(*lobby);
            QTest::mouseClick(lobby->abortbutton, Qt::LeftButton);
            afterStop = Look::of(*lobby);
        }
    });
    QTest::mouseClick(lobby->getbutton, Qt::LeftButton);

    EXPECT_EQ(afterStop, (Look {"Download has been aborted.", "Download Aborted", false, true, 2}));
    EXPECT_EQ(Look::of(*lobby), (Look {"Download Aborted", "Download Aborted", true, false, 2}));
    // Some of the body had arrived; none of it is left.
    EXPECT_TRUE(beforeStop.progress.endsWith(QLatin1String(" bytes")));
    EXPECT_EQ(contents(inHome(QStringLiteral("Setup"))), "<missing>");
    EXPECT_TRUE(QDir(home.path()).isEmpty());
    EXPECT_TRUE(waitUntil([&] { return clientLeft.load(); }));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_EQ(exits, 0);

    // Stop pressed when nothing runs still says so.
    lobby->abortbuttonClick();
    EXPECT_EQ(Look::of(*lobby), (Look {"Download has been aborted.", "Download Aborted", true, false, 2}));
}

TEST_F(LobbyDownload, ClosingTheWindowStopsTheDownload)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        ScriptedHttpServer::slowBody(exchange, 200);
    });
    configure(server.url(QStringLiteral("/slow/Setup")));
    auto lobby = window();
    Watch watch([&] {
        if (lobby->infolabel->text().endsWith(QLatin1String(" bytes")) && lobby->isVisible())
            QTest::mouseClick(lobby->Button1, Qt::LeftButton);
    });
    QTest::mouseClick(lobby->getbutton, Qt::LeftButton);
    EXPECT_FALSE(lobby->isVisible());
    EXPECT_EQ(Look::of(*lobby), (Look {"Download Aborted", "Download Aborted", true, false, 2}));
    EXPECT_EQ(exits, 0);
}

TEST_F(LobbyDownload, FailuresBeforeAnyAnswerShowDownloadAborted)
{
    const int closed = ScriptedHttpServer::closedPort();
    const struct {
        QString url;
        QString why;
    } cases[] = {{QStringLiteral("http://lobby-download.invalid/Setup"), QStringLiteral("can't resolve hostname to IP address")},
                 {QStringLiteral("http://127.0.0.1:%1/Setup").arg(closed), QStringLiteral("can't connect: Connection refused (Error #10061)")}};
    for (const auto &c : cases) {
        configure(c.url);
        auto lobby = window();
        QTest::mouseClick(lobby->getbutton, Qt::LeftButton);
        EXPECT_EQ(Look::of(*lobby), (Look {"Download Aborted", c.why, true, false, 2})) << c.url.toStdString();
        EXPECT_EQ(contents(inHome(QStringLiteral("Setup"))), "<missing>");
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(LobbyDownload, AnAddressEndingInASlashCannotCreateTheFileAndChangesNothing)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        exchange.send(ScriptedHttpServer::answer("200 OK", "index"));
    });
    configure(server.url(QStringLiteral("/downloads/")));
    auto lobby = window();
    QTest::mouseClick(lobby->getbutton, Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.first().startsWith(QStringLiteral("Cannot create file \"%1").arg(home.path()))) << boxes.first().toStdString();
    EXPECT_TRUE(boxes.first().contains(QLatin1String("directory"))) << boxes.first().toStdString();
    EXPECT_EQ(Look::of(*lobby), (Look {QString(), QString(), true, false, 1}));
    EXPECT_EQ(lobby->infolabel2->text(), "");
    settle(50);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(LobbyDownload, TheFileNameIsTheAddressAfterItsLastSlashAndGoesWhereItCanBeWritten)
{
    EXPECT_EQ(installerFileName(QStringLiteral("http://host/a/b/KovrenLobbySetup.exe")), "KovrenLobbySetup.exe");
    EXPECT_EQ(installerFileName(QStringLiteral("http://host:8080/Setup?v=2")), "Setup?v=2");
    EXPECT_EQ(installerFileName(QStringLiteral("http://host/dir/")), "");
    EXPECT_EQ(installerFileName(QStringLiteral("Setup")), "Setup");

    EXPECT_EQ(downloadFolder(), home.path());
    // A program folder that cannot take files sends downloads to the user's data folder.
    QTemporaryDir userData;
    qputenv("XDG_DATA_HOME", userData.path().toUtf8());
    qputenv("VREL_HOME", inHome(QStringLiteral("no/such/folder")).toUtf8());
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_TRUE(fallback.startsWith(userData.path()));
    EXPECT_EQ(downloadFolder(), fallback);
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    qunsetenv("XDG_DATA_HOME");
}
