// Downloads that must not fill the disk, wait for ever or spoil what the player has: a server that
// announces 5 GB, one that sends without end, one that says nothing, one that resets the
// connection, a redirection without an address and a disk that is nearly full. Each leaves the
// earlier installer as it was, no partial file, and says why on the status line.

#include "tests/lobby/lobby_fixture.h"

#include "app/lobby/download_limits.h"

#include <sys/resource.h>

using testing_support::ScriptedHttpServer;

namespace {

long peakMemoryKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Sends `head`, then zeros until the client goes.
void zerosAfter(ScriptedHttpServer::Exchange &exchange, const QByteArray &head)
{
    exchange.send(head);
    const QByteArray zeros(64 * 1024, '\0');
    while (exchange.send(zeros)) {
    }
}

} // namespace

class DownloadLimits : public LobbyFixture
{
protected:
    QStringList files() const { return QDir(home.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

TEST_F(DownloadLimits, EveryFailedDownloadKeepsTheEarlierInstallerAndSaysWhy)
{
    std::atomic<int> served {0};
    ScriptedHttpServer server([&served](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        const QByteArray path = ScriptedHttpServer::pathOf(request);
        if (path == "/good/Setup") {
            exchange.send(ScriptedHttpServer::answer("200 OK", "the good installer"));
        } else if (path == "/huge/Setup") {
            zerosAfter(exchange, "HTTP/1.0 200 OK\r\nContent-Length: 5000000000\r\n\r\n");
        } else if (path == "/endless/Setup") {
            zerosAfter(exchange, "HTTP/1.0 200 OK\r\n\r\n");
        } else if (path == "/silent/Setup") {
            while (exchange.pause(20)) {
            }
        } else if (path == "/reset/Setup") {
            exchange.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(30000, 'x'));
            exchange.pause(50);
            exchange.resetOnClose();
        } else if (path == "/moved/Setup") {
            exchange.send(ScriptedHttpServer::answer("302 Found", ""));
        }
        ++served;
    });
    const auto urlOf = [&server](const char *folder) { return server.url(QStringLiteral("/%1/Setup").arg(QLatin1String(folder))); };

    // A good download first: the earlier installer.
    configure(urlOf("good"));
    auto first = window();
    QTest::mouseClick(first->getbutton, Qt::LeftButton);
    EXPECT_EQ(Look::of(*first), (Look {"Received 18 bytes", "Installing", true, false, 1}));
    ASSERT_EQ(contents(inHome(QStringLiteral("Setup"))), "the good installer");
    boxes.clear();

    const struct {
        const char *folder;
        QString status;
    } cases[] = {
        {"huge", QStringLiteral("too large")},
        {"endless", QStringLiteral("too large")},
        {"silent", QStringLiteral("timed out")},
        {"reset", QStringLiteral("connection reset")},
        {"moved", QStringLiteral("HTTP 302 Found")},
    };
    for (const auto &c : cases) {
        configure(urlOf(c.folder));
        auto lobby = window();
        EXPECT_EQ(lobby->HttpCli1->MaxBodySize, 256 * 1024 * 1024);
        EXPECT_EQ(lobby->HttpCli1->SilenceTimeoutMs, 30000);
        lobby->HttpCli1->SilenceTimeoutMs = 300; // the same silence, shorter
        const long before = peakMemoryKb();
        QTest::mouseClick(lobby->getbutton, Qt::LeftButton);
        EXPECT_EQ(Look::of(*lobby), (Look {"Download Aborted", c.status, true, false, 2})) << c.folder;
        if (c.status == QLatin1String("too large"))
            screenshot(lobby.get(), QStringLiteral("lobby-download-too-large"));
        EXPECT_EQ(contents(inHome(QStringLiteral("Setup"))), "the good installer") << c.folder;
        EXPECT_EQ(files(), QStringList {"Setup"}) << c.folder;
        // What arrived went to the disk, never into memory. (The address sanitizer keeps freed
        // blocks in quarantine, so the peak says nothing about this under it.)
#ifndef __SANITIZE_ADDRESS__
        EXPECT_LT(peakMemoryKb() - before, 32 * 1024) << c.folder;
#else
        (void)before;
#endif
    }
    // The endless body stopped at the limit.
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_TRUE(testing_support::waitUntil([&] { return served.load() == 6; }));
}

TEST_F(DownloadLimits, ANearlyFullDiskStopsTheDownloadBeforeItFillsUp)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        zerosAfter(exchange, "HTTP/1.0 200 OK\r\nContent-Length: 50000000\r\n\r\n");
    });
    configure(server.url(QStringLiteral("/Setup")));
    QFile earlier(inHome(QStringLiteral("Setup")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();

    // Too little room to begin with: no request at all.
    auto full = window();
    QString askedAbout;
    full->freeSpace = [&askedAbout](const QString &folder) -> std::optional<qint64> {
        askedAbout = folder;
        return qint64(10) << 20;
    };
    QTest::mouseClick(full->getbutton, Qt::LeftButton);
    EXPECT_EQ(Look::of(*full), (Look {"Download Aborted", "disk nearly full", true, false, 2}));
    EXPECT_EQ(askedAbout, home.path());
    testing_support::settle(50);
    EXPECT_TRUE(server.requests().isEmpty());

    // Room now, but not for the 50 MB announced with the reserve kept free.
    auto tight = window();
    tight->freeSpace = [](const QString &) -> std::optional<qint64> { return qint64(100) << 20; };
    QTest::mouseClick(tight->getbutton, Qt::LeftButton);
    EXPECT_EQ(Look::of(*tight), (Look {"Download Aborted", "disk nearly full", true, false, 2}));
    EXPECT_EQ(contents(inHome(QStringLiteral("Setup"))), "earlier");
    EXPECT_EQ(files(), QStringList {"Setup"});
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    // The real file system answers for the player's folder.
    ASSERT_TRUE(download_limits::freeBytes(home.path()));
    EXPECT_GT(*download_limits::freeBytes(home.path()), 0);
    EXPECT_FALSE(download_limits::freeBytes(inHome(QStringLiteral("no/such/folder"))));
}
