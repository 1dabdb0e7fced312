#pragma once

#include "net/link.h"

#include <QString>

#include <memory>

class TSock;

// A connection over a TSock: hands the socket's reads, disconnects and "Socket Closed" reports on.
// The link owns the socket.
class TSockLink : public Link
{
    Q_OBJECT
public:
    explicit TSockLink(TSock *sock, QObject *parent = nullptr);
    ~TSockLink() override;

    // A link to a host: resolves the address and starts connecting. A name that cannot be resolved
    // throws ESockException; a refused connection ends in closed() like any other end.
    static std::unique_ptr<TSockLink> connectTo(const QString &address, int port);

    void send(const QByteArray &bytes) override;
    void close() override;
    void reset() override;
    TSock *socket() const { return sock_; }

private:
    TSock *sock_;
};
