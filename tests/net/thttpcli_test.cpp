// The HTTP client against a real server on a loopback port: the request on the wire, bodies with
// and without a length, redirections, failures, stopping and quitting.

#include "net/thttpcli.h"
#include "tests/support/http_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QTimer>

#include <atomic>

using testing_support::ScriptedHttpServer;

namespace {

// What a request reported, and how it ended.
struct Outcome {
    QList<QByteArray> headerLines;
    int docBegins = 0;
    QList<qint64> counts;
    QByteArray body;
    int status = 0;
    QString error; // the EHttpException's text, empty when Get returned normally
};

class HttpClient : public ::testing::Test
{
protected:
    HttpClient()
    {
        cli.Agent = QStringLiteral("Mozilla/3.0 (compatible)");
        cli.Accept = QStringLiteral("image/gif, */*");
        cli.OnHeaderData = [this](THttpCli *, const QByteArray &line) { outcome.headerLines << line; };
        cli.OnDocBegin = [this](THttpCli *) { ++outcome.docBegins; };
        cli.OnDocData = [this](THttpCli *, QByteArrayView, qint64 count) { outcome.counts << count; };
    }

    Outcome &get(const QString &url)
    {
        QBuffer buffer(&outcome.body);
        buffer.open(QIODevice::WriteOnly);
        cli.URL = url;
        cli.RcvdStream = &buffer;
        try {
            cli.Get();
            outcome.status = cli.StatusCode();
        } catch (const EHttpException &e) {
            outcome.status = e.ErrorCode();
            outcome.error = e.text();
        }
        cli.RcvdStream = nullptr;
        return outcome;
    }

    THttpCli cli;
    Outcome outcome;
};

} // namespace

TEST_F(HttpClient, TheRequestGoesOutExactlyAndTheBodyArrivesPieceByPiece)
{
    std::atomic<bool> clientClosed {false};
    ScriptedHttpServer server([&](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        exchange.send("HTTP/1.0 200 OK\r\nServer: test\r\nContent-Length: 12\r\n\r\n");
        for (const char *piece : {"setup", "-", "bytes!"}) {
            exchange.pause(30);
            exchange.send(piece);
        }
        // The length is reached: the client ends the request without waiting for the server.
        clientClosed = !exchange.pause(5000);
    });
    get(server.url(QStringLiteral("/files/Setup%20Lobby.bin?v=2#part")));

    EXPECT_EQ(server.requests().value(0), QByteArray("GET /files/Setup%20Lobby.bin?v=2 HTTP/1.0\r\n"
                                                     "Accept: image/gif, */*\r\n"
                                                     "User-Agent: Mozilla/3.0 (compatible)\r\n"
                                                     "Host: 127.0.0.1:" + QByteArray::number(server.port()) + "\r\n"
                                                     "\r\n"));
    EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.status, 200);
    EXPECT_EQ(outcome.body, "setup-bytes!");
    EXPECT_EQ(outcome.headerLines, QList<QByteArray>({"HTTP/1.0 200 OK", "Server: test", "Content-Length: 12"}));
    EXPECT_EQ(outcome.docBegins, 1);
    EXPECT_EQ(outcome.counts, QList<qint64>({5, 6, 12}));
    EXPECT_EQ(cli.RcvdCount(), 12);
    EXPECT_TRUE(testing_support::waitUntil([&] { return clientClosed.load(); }));
    EXPECT_EQ(cli.requestFor(QUrl(QStringLiteral("http://example.org"))),
              "GET / HTTP/1.0\r\nAccept: image/gif, */*\r\nUser-Agent: Mozilla/3.0 (compatible)\r\nHost: example.org\r\n\r\n");
    // The port goes with the host unless it is HTTP's own.
    for (const auto &[url, host] : {std::pair {"http://example.org:80/x", "Host: example.org\r\n"},
                                    std::pair {"http://example.org:8080/x", "Host: example.org:8080\r\n"},
                                    std::pair {"http://[::1]:81/x", "Host: [::1]:81\r\n"}})
        EXPECT_TRUE(cli.requestFor(QUrl(QString::fromLatin1(url))).contains(host)) << url;
}

TEST_F(HttpClient, ABodyWithoutALengthEndsWhenTheServerCloses)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        exchange.send("HTTP/1.0 200 OK\r\n\r\nfirst ");
        exchange.pause(50);
        exchange.send("and last");
    });
    get(server.url(QStringLiteral("/plain")));
    EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.body, "first and last");
    EXPECT_EQ(outcome.counts.last(), 14);
    EXPECT_EQ(outcome.docBegins, 1);
}

TEST_F(HttpClient, RedirectionsAreFollowedAbsoluteAndRelativeAndOnlyTheLastBodyIsKept)
{
    int port = 0;
    ScriptedHttpServer server([&port](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        const QByteArray path = ScriptedHttpServer::pathOf(request);
        if (path == "/start")
            exchange.send(ScriptedHttpServer::answer(
                "302 Found", "go elsewhere", {"Location: http://127.0.0.1:" + QByteArray::number(port) + "/abs/next"}));
        else if (path == "/abs/next")
            exchange.send(ScriptedHttpServer::answer("301 Moved Permanently", "moved", {"Location: ../rel/final?z=1"}, false));
        else
            exchange.send(ScriptedHttpServer::answer("200 OK", "final body"));
    });
    port = server.port();
    get(server.url(QStringLiteral("/start")));

    QList<QByteArray> paths;
    for (const QByteArray &request : server.requests())
        paths << ScriptedHttpServer::pathOf(request);
    EXPECT_EQ(paths, QList<QByteArray>({"/start", "/abs/next", "/rel/final?z=1"}));
    EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.body, "final body");
    EXPECT_EQ(outcome.docBegins, 1);
    // Every answer's head is reported.
    EXPECT_EQ(outcome.headerLines.count("HTTP/1.0 302 Found"), 1);
    EXPECT_EQ(outcome.headerLines.count("HTTP/1.0 301 Moved Permanently"), 1);
    EXPECT_EQ(outcome.headerLines.count("HTTP/1.0 200 OK"), 1);
}

TEST_F(HttpClient, ARedirectionLoopEndsAfterFiveRedirections)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        exchange.send(ScriptedHttpServer::answer("302 Found", "again", {"Location: /loop"}));
    });
    get(server.url(QStringLiteral("/loop")));
    EXPECT_EQ(outcome.status, 404);
    EXPECT_EQ(outcome.error, "too many redirects");
    EXPECT_EQ(server.requests().size(), 1 + THttpCli::kMaxRedirects);
    EXPECT_TRUE(outcome.body.isEmpty());
    EXPECT_EQ(outcome.docBegins, 0);
}

TEST_F(HttpClient, EveryFailureRaisesWithItsStatusAndReason)
{
    ScriptedHttpServer server([](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        const QByteArray path = ScriptedHttpServer::pathOf(request);
        if (path == "/missing") {
            exchange.send(ScriptedHttpServer::answer("404 Not Found", "<h1>no such file</h1>"));
        } else if (path == "/broken") {
            exchange.send(ScriptedHttpServer::answer("500 Internal Server Error", "", {}, false));
        } else if (path == "/short") {
            exchange.send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\nnot all of it");
        } else if (path == "/reset") {
            exchange.send("HTTP/1.0 200 OK\r\n\r\nbroken off");
            exchange.pause(50);
            exchange.resetOnClose();
        } else if (path == "/chatty") {
            QByteArray head = "HTTP/1.0 200 OK\r\n";
            for (int i = 0; i <= 100; ++i)
                head += "X-Header-" + QByteArray::number(i) + ": filler\r\n";
            exchange.send(head + "\r\nbody");
        } else {
            exchange.send("this is not HTTP\r\n\r\n");
        }
    });
    const struct {
        QString url;
        int status;
        QString reason;
        QByteArray body;
    } cases[] = {
        {server.url(QStringLiteral("/missing")), 404, QStringLiteral("Not Found"), "<h1>no such file</h1>"},
        {server.url(QStringLiteral("/broken")), 500, QStringLiteral("Internal Server Error"), ""},
        {server.url(QStringLiteral("/short")), 404, QStringLiteral("connection closed before the end of the document"), "not all of it"},
        {server.url(QStringLiteral("/chatty")), 404, QStringLiteral("too many header lines"), ""},
        {server.url(QStringLiteral("/garbage")), 404, QStringLiteral("invalid status line"), ""},
        {QStringLiteral("http://lobby-download.invalid/setup"), 404, QStringLiteral("can't resolve hostname to IP address"), ""},
        {QStringLiteral("http://127.0.0.1:%1/setup").arg(ScriptedHttpServer::closedPort()), 404,
         QStringLiteral("can't connect: Connection refused (Error #10061)"), ""},
        {QStringLiteral("https://127.0.0.1/setup"), 404, QStringLiteral("can't request https://127.0.0.1/setup"), ""},
    };
    for (const auto &c : cases) {
        outcome = {};
        get(c.url);
        EXPECT_EQ(outcome.status, c.status) << c.url.toStdString();
        EXPECT_EQ(outcome.error, c.reason) << c.url.toStdString();
        EXPECT_EQ(outcome.body, c.body) << c.url.toStdString();
        EXPECT_FALSE(cli.busy());
    }

    // A connection reset in the middle of a body without a length is not its end.
    outcome = {};
    get(server.url(QStringLiteral("/reset")));
    EXPECT_EQ(outcome.status, 404);
    EXPECT_EQ(outcome.error, "connection lost: Connection reset by peer (Error #10054)");

    // A stream that takes no bytes ends the request.
    outcome = {};
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    cli.URL = server.url(QStringLiteral("/missing"));
    cli.RcvdStream = &readOnly;
    try {
        cli.Get();
    } catch (const EHttpException &e) {
        outcome.error = e.text();
    }
    EXPECT_TRUE(outcome.error.startsWith(QLatin1String("can't write the document: "))) << outcome.error.toStdString();
}

TEST_F(HttpClient, AbortStopsASlowBodyWhileTheEventLoopKeepsRunning)
{
    std::atomic<bool> clientLeft {false};
    ScriptedHttpServer server([&](const QByteArray &, ScriptedHttpServer::Exchange &exchange) {
        clientLeft = !ScriptedHttpServer::slowBody(exchange, 100);
    });
    int ticks = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] { ++ticks; });
    ticking.start(5);
    cli.OnDocData = [this](THttpCli *, QByteArrayView, qint64 count) {
        outcome.counts << count;
        if (count == 300)
            QTimer::singleShot(0, &cli, [this] { cli.Abort(); });
    };
    cli.Abort(); // nothing runs yet: nothing happens
    get(server.url(QStringLiteral("/slow")));

    EXPECT_EQ(outcome.status, 404);
    EXPECT_EQ(outcome.error, "Connection aborted on request");
    EXPECT_EQ(outcome.body.size(), 300);
    EXPECT_GT(ticks, 5); // timers kept firing while the request waited
    // The server sees the connection go.
    EXPECT_TRUE(testing_support::waitUntil([&] { return clientLeft.load(); }));
}

TEST_F(HttpClient, TheProgramQuittingAbortsARequestThatWaits)
{
    ScriptedHttpServer server([](const QByteArray &, ScriptedHttpServer::Exchange &exchange) { ScriptedHttpServer::slowBody(exchange, 100); });
    cli.OnDocData = [](THttpCli *, QByteArrayView, qint64 count) {
        if (count == 200)
            QCoreApplication::quit();
    };
    QTimer::singleShot(0, [&] { get(server.url(QStringLiteral("/slow"))); });
    QCoreApplication::exec();
    EXPECT_EQ(outcome.status, 404);
    EXPECT_EQ(outcome.error, "Connection aborted on request");
    EXPECT_EQ(outcome.body.size(), 200);
}

TEST_F(HttpClient, BodiesBeyondTheLimitAndSilentServersEndTheRequest)
{
    std::atomic<int> clientsGone {0};
    ScriptedHttpServer server([&](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        const QByteArray path = ScriptedHttpServer::pathOf(request);
        if (path == "/slow") {
            ScriptedHttpServer::slowBody(exchange, 10); // 100 bytes every 40 ms
        } else {
            if (path == "/announced")
                exchange.send("HTTP/1.0 200 OK\r\nContent-Length: 5000000000\r\n\r\n");
            else if (path == "/endless")
                exchange.send("HTTP/1.0 200 OK\r\n\r\n");
            else if (path == "/fits")
                exchange.send(ScriptedHttpServer::answer("200 OK", QByteArray(1000, 'f')));
            // Zeros without end, or silence, until the client goes.
            while (exchange.pause(1) && (path == "/silent" || path == "/fits" || exchange.send(QByteArray(100, 'z')))) {
            }
        }
        ++clientsGone;
    });
    cli.MaxBodySize = 1000;
    cli.SilenceTimeoutMs = 100;
    const struct {
        const char *path;
        int status;
        QString reason;
        qint64 received;
    } cases[] = {
        {"/announced", 404, QStringLiteral("too large"), 0},   // refused on its Content-Length
        {"/endless", 404, QStringLiteral("too large"), 1000},  // refused past the limit, not a byte more
        {"/fits", 200, QString(), 1000},                      // exactly the limit is taken
        {"/silent", 404, QStringLiteral("timed out"), 0},      // not a byte after the request
        {"/slow", 200, QString(), 1000},                      // 400 ms in all, but never 100 ms silent
    };
    for (const auto &c : cases) {
        outcome = {};
        get(server.url(QString::fromLatin1(c.path)));
        EXPECT_EQ(outcome.status, c.status) << c.path;
        EXPECT_EQ(outcome.error, c.reason) << c.path;
        EXPECT_EQ(outcome.body.size(), c.received) << c.path;
        EXPECT_EQ(cli.FailedOnThisSide(), c.status == 404) << c.path;
    }
    EXPECT_TRUE(testing_support::waitUntil([&] { return clientsGone.load() == 5; }));
}
