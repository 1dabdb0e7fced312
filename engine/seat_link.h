#pragma once

#include <QByteArray>
#include <QObject>

// One seated connection as the host engine sees it. The production link wraps an accepted
// TSock; tests use links that record what the host sends.
class SeatLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void send(const QByteArray &bytes) = 0;
    // Closes the connection; every call ends in closed(), also a repeated one.
    virtual void close() = 0;

signals:
    void received(const QByteArray &bytes); // everything the connection had buffered
    void peerClosed();                      // the other side closed the connection
    void closed();                          // the connection reported "Socket Closed"
};
