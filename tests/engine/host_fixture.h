#pragma once

#include "engine/tserver.h"
#include "net/link.h"
#include "protocol/messages.h"

#include <gtest/gtest.h>

#include <QList>

#include <map>

#include <arpa/inet.h>
#include <netinet/in.h>

// A seat's connection that records what the host sends, for tests that drive the host engine
// directly, its clocks moved by hand.
class FakeLink : public Link
{
    Q_OBJECT
public:
    void send(const QByteArray &bytes) override { outbox += bytes; }
    void close() override
    {
        ++closeCalls;
        emit closed();
    }
    SockAddress peerAddress() const override { return peer; }
    void deliver(const QByteArray &bytes) { emit received(bytes); }
    void hangUp() { emit peerClosed(); }

    // The messages sent since the last call, without terminators.
    QList<QByteArray> take()
    {
        QList<QByteArray> messages = outbox.split('\xFF');
        messages.removeLast(); // after the last terminator
        outbox.clear();
        return messages;
    }
    // The messages with this verb prefix, taken out of everything sent since the last call.
    QList<QByteArray> takeVerb(const QByteArray &prefix)
    {
        QList<QByteArray> matching;
        for (const QByteArray &message : take()) {
            if (message.startsWith(prefix))
                matching << message;
        }
        return matching;
    }

    QByteArray outbox;
    int closeCalls = 0;
    SockAddress peer; // none unless a test gives one
};

// An address as an accepted connection reports it: IPv4 ("192.0.2.5") or IPv6 ("2001:db8::1").
inline SockAddress peerAt(const char *text, uint16_t port = 40000)
{
    SockAddress address;
    sockaddr_in6 in6 {};
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(port);
    if (inet_pton(AF_INET6, text, &in6.sin6_addr) == 1)
        return SockAddress::from(reinterpret_cast<const sockaddr *>(&in6), sizeof in6);
    sockaddr_in in {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    if (inet_pton(AF_INET, text, &in.sin_addr) == 1)
        return SockAddress::from(reinterpret_cast<const sockaddr *>(&in), sizeof in);
    return address;
}

class HostFixture : public ::testing::Test
{
protected:
    HostFixture()
    {
        server.seedRandom(7);
        server.setManualClock(true);
        server.setManualDispatch(true);
        server.setClock([this] { return nowMs; });
    }

    // A connection from nowhere in particular, or from the address given.
    FakeLink *connect(const SockAddress &peer = {})
    {
        auto link = std::make_unique<FakeLink>();
        FakeLink *raw = link.get();
        raw->peer = peer;
        server.seatConnection(std::move(link));
        return raw;
    }

    // Connects (from the address given) and logs in; returns the link with its outbox emptied.
    // The seat key the host gave it is kept in `keys`.
    FakeLink *join(const QByteArray &name, const SockAddress &peer = {})
    {
        FakeLink *link = connect(peer);
        const int seat = link->take().value(0).mid(18).toInt();
        return logIn(link, seat, name);
    }
    FakeLink *logIn(FakeLink *link, int seat, const QByteArray &name)
    {
        link->deliver(msg::encode(msg::LoginInfo {seat, proto::kVersion, name}));
        dispatchAll();
        for (const QByteArray &message : link->take()) {
            if (message.startsWith("CMD_seatkey+"))
                keys[link] = message.split('+').value(2);
        }
        return link;
    }

    void deliver(FakeLink *link, const QByteArray &message)
    {
        link->deliver(message + '\xFF');
        dispatchAll();
    }

    // The dispatcher's time runs until every message received has been handled.
    void dispatchAll()
    {
        for (int paces = 0; server.queuedMessages() > 0; ++paces) {
            ASSERT_LT(paces, 10000) << "messages that are never handled";
            server.advanceDispatchClock(TServer::kPace);
        }
    }

    // Handles everything queued a second of the relay pace's clock apart, so that no line is
    // dropped for coming too fast.
    void dispatchAllSlowly()
    {
        while (server.queuedMessages() > 0) {
            nowMs += 1000;
            server.advanceDispatchClock(TServer::kPace);
        }
    }

    // Seconds of the phase clock; the engine's own clock moves with them.
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            nowMs += 1000;
            server.timer1Timer();
        }
    }

    void clearAll(std::initializer_list<FakeLink *> links)
    {
        for (FakeLink *link : links)
            link->take();
    }

    qint64 nowMs = 0;
    TServer server;
    std::map<const FakeLink *, QByteArray> keys;
};
