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

    // A connection that has not come about in this time gives up (connectFailed, timed out).
    static constexpr int kConnectTimeoutMs = 10000;

    // A link to a host: starts connecting to the address (IPv4 or IPv6, or a name resolved on a
    // worker thread). A name that cannot be resolved, a refusal and no answer in
    // kConnectTimeoutMs end in connectFailed(). The connection notices a dead path (keepalive).
    static std::unique_ptr<TSockLink> connectTo(const QString &address, int port);

    void send(const QByteArray &bytes) override;
    void close() override;
    bool hostKnown() const override { return hostKnown_; }
    SockAddress peerAddress() const override;
    SockAddress localAddress() const override;
    TSock *socket() const { return sock_; }

private:
    TSock *sock_;
    bool hostKnown_ = false;
};
