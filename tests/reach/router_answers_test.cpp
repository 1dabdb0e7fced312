// What a router answers over HTTP, read with caps on its size and its time, on loopback: a
// document without end is cut off, a request whose asker stopped ends at once (a trickled
// document is the lab's case); SOAP answers (plain or chunked) and UPnP errors are read; a URL that would need
// a name lookup is refused.

#include "portmap/router_http.h"
#include "portmap/upnp_gateway.h"
#include "tests/support/http_server.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <thread>

using testing_support::ScriptedHttpServer;

namespace {

QByteArray soap(const QByteArray &inner)
{
    return "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>" + inner
           + "</s:Body></s:Envelope>";
}

} // namespace

TEST(RouterAnswers, AreCappedInSizeAndTimeAndStopWhenTheAskerStops)
{
    std::atomic<long long> sentBeforeHangUp {0};
    ScriptedHttpServer server([&](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        const QByteArray path = ScriptedHttpServer::pathOf(request);
        if (path == "/endless") {
            exchange.send("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<root>");
            long long sent = 0;
            while (exchange.send(QByteArray(64 * 1024, 'x')) && sent < (1LL << 30))
                sent += 64 * 1024;
            sentBeforeHangUp = sent;
        } else if (path == "/long") {
            exchange.send(ScriptedHttpServer::answer("200 OK", QByteArray(portmap::kMaxAnswerBytes + 1, 'x')));
        } else if (path == "/silent") {
            while (exchange.pause(20)) {
            }
        }
    });
    const auto get = [&](const char *path, const portmap::Patience &patience) {
        return portmap::httpRequest(server.url(QString::fromLatin1(path)).toLatin1(), "GET", {}, {}, patience);
    };

    // Sent without end: given up at the cap, having read little of what was sent.
    EXPECT_FALSE(get("/endless", portmap::Patience(10000)));
    // One byte over the cap, announced or not, is too much.
    EXPECT_FALSE(get("/long", portmap::Patience(10000)));

    // Never answered: ends as soon as the asker stops waiting, however much patience was left.
    auto stop = std::make_shared<std::atomic_bool>(false);
    std::thread stopper([stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        *stop = true;
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(get("/silent", portmap::Patience(60000, stop)));
    EXPECT_LT(clock.elapsed(), 2000);
    stopper.join();

    // Nobody there, a name to look up, another scheme: nothing, at once.
    EXPECT_FALSE(portmap::httpRequest(QStringLiteral("http://127.0.0.1:%1/").arg(ScriptedHttpServer::closedPort()).toLatin1(), "GET", {}, {},
                                      portmap::Patience(5000)));
    EXPECT_FALSE(portmap::httpRequest("http://router.invalid/desc.xml", "GET", {}, {}, portmap::Patience(5000)));
    EXPECT_FALSE(portmap::httpRequest("https://127.0.0.1/desc.xml", "GET", {}, {}, portmap::Patience(5000)));
    EXPECT_GT(sentBeforeHangUp.load(), 0);
    EXPECT_LT(sentBeforeHangUp.load(), 64LL * 1024 * 1024) << "the reader kept reading past its cap";
}

TEST(RouterAnswers, SoapAnswersAndUpnpErrorsAreReadPlainOrChunked)
{
    ScriptedHttpServer server([&](const QByteArray &request, ScriptedHttpServer::Exchange &exchange) {
        if (request.contains("#GetExternalIPAddress")) {
            const QByteArray body = soap("<u:GetExternalIPAddressResponse><NewExternalIPAddress>11.77.0.7</NewExternalIPAddress>"
                                         "</u:GetExternalIPAddressResponse>");
            // In two chunks, the way some routers answer an HTTP/1.1 request.
            const QByteArray chunked = QByteArray::number(40, 16) + "\r\n" + body.left(40) + "\r\n"
                                       + QByteArray::number(body.size() - 40, 16) + ";x=y\r\n" + body.mid(40) + "\r\n0\r\n\r\n";
            exchange.send(ScriptedHttpServer::answer("200 OK", chunked, {"Transfer-Encoding: chunked"}, false));
        } else {
            exchange.send(ScriptedHttpServer::answer(
                "500 Internal Server Error",
                soap("<s:Fault><detail><UPnPError><errorCode>725</errorCode><errorDescription>OnlyPermanentLeasesSupported"
                     "</errorDescription></UPnPError></detail></s:Fault>")));
        }
    });
    const portmap::upnp::Gateway gateway {server.url(QStringLiteral("/ctl")).toLatin1(), "urn:schemas-upnp-org:service:WANIPConnection:1", {}};
    const portmap::upnp::SoapAnswer address = portmap::upnp::command(gateway, "GetExternalIPAddress", {}, portmap::Patience(5000));
    EXPECT_TRUE(address.ok);
    EXPECT_EQ(address.values.value("NewExternalIPAddress"), "11.77.0.7");
    const portmap::upnp::SoapAnswer refused = portmap::upnp::command(gateway, "AddPortMapping", {{"NewLeaseDuration", "3600"}}, portmap::Patience(5000));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.errorCode, 725);
    // What was asked: the action named to the router, the argument in the body.
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests().at(1).contains("SOAPAction: \"urn:schemas-upnp-org:service:WANIPConnection:1#AddPortMapping\""));

    EXPECT_FALSE(portmap::unchunked("5\r\nabc"));
    EXPECT_FALSE(portmap::unchunked("zz\r\nabc\r\n0\r\n\r\n"));
    EXPECT_EQ(portmap::unchunked("3\r\nabc\r\n0\r\n\r\n"), QByteArray("abc"));
}
