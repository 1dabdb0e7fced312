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

    // A link to a host: starts connecting to the address (IPv4 or IPv6, or a name resolved on a
    // worker thread). A name that cannot be resolved reaches the program's error sink as "Host
    // Lookup - Could Not Find Host Entry" once the resolver has answered; a refused connection
    // ends in closed() like any other end.
    static std::unique_ptr<TSockLink> connectTo(const QString &address, int port);

    void send(const QByteArray &bytes) override;
    void close() override;
    void reset() override;
    bool hostKnown() const override { return hostKnown_; }
    TSock *socket() const { return sock_; }

private:
    TSock *sock_;
    bool hostKnown_ = false;
};
