#pragma once

#include "net/sock_address.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// One connection as the game sees it: bytes out, bytes in, and its end. The host engine holds one
// per seat, a client one to its host. The production link wraps a TSock (TSockLink); tests use
// links that record what is sent and deliver what they are told.
class Link : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void send(const QByteArray &bytes) = 0;
    // Closes the connection in an orderly way; every call ends in closed(), also a repeated one.
    virtual void close() = 0;
    // The host's name is known (resolved, or an address from the start): the connection is being
    // made or was made. A link that was not made to a name has nothing to resolve.
    virtual bool hostKnown() const { return true; }
    // Where the other end is (an accepted connection's peer), and this end's own address (a
    // connection's local port once it is connecting); invalid where a link has none.
    virtual SockAddress peerAddress() const { return {}; }
    virtual SockAddress localAddress() const { return {}; }

signals:
    void received(const QByteArray &bytes); // everything the connection had buffered
    void peerClosed();                      // the other side closed the connection
    void closed();                          // the connection reported "Socket Closed"
    // The connection never came about (refused, unreachable, timed out, a name not found): the
    // Windows Sockets code of the reason. Nothing more comes from the link until it is closed.
    void connectFailed(int wsaCode);
    // The host's name was resolved: hostKnown() is true from now on.
    void hostResolved();
};
