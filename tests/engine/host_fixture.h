#pragma once

#include "engine/tserver.h"
#include "net/link.h"
#include "protocol/messages.h"

#include <gtest/gtest.h>

#include <QList>

#include <map>

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
};

class HostFixture : public ::testing::Test
{
protected:
    HostFixture()
    {
        server.seedRandom(7);
        server.setManualClock(true);
        server.setManualDispatch(true);
    }

    FakeLink *connect()
    {
        auto link = std::make_unique<FakeLink>();
        FakeLink *raw = link.get();
        server.seatConnection(std::move(link));
        return raw;
    }

    // Connects and logs in; returns the link with its outbox emptied. The seat key the host gave
    // it is kept in `keys`.
    FakeLink *join(const QByteArray &name)
    {
        FakeLink *link = connect();
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

    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            server.timer1Timer();
    }

    void clearAll(std::initializer_list<FakeLink *> links)
    {
        for (FakeLink *link : links)
            link->take();
    }

    TServer server;
    std::map<const FakeLink *, QByteArray> keys;
};
