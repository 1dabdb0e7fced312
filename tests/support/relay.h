#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <utility>

#include <sys/socket.h>

namespace testing_support {

// A relay on loopback between players and a host: what one side sends, the other receives, and
// an end or a reset on one side is an orderly end on the other, as a proxy or a tunnel makes it.
// A test cuts every connection it carries (both ends closed, as a broken network path does),
// resets them (a router that lost its state), or stops listening so that nothing answers on its
// port any more, and listens there again.
class Relay : public QObject
{
public:
    explicit Relay(quint16 hostPort)
        : hostPort_(hostPort)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        port_ = server_.serverPort();
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *player = server_.nextPendingConnection())
                carry(player);
        });
    }

    quint16 port() const { return port_; }
    int connectionsMade() const { return made_; }

    // Both ends of every connection are closed, each after what it sent was read.
    void cutAll()
    {
        for (auto &[player, host] : pairs_) {
            for (QTcpSocket *end : {player, host}) {
                end->readAll();
                end->disconnectFromHost();
            }
        }
        pairs_.clear();
    }

    // Both ends of every connection are reset at once, whatever they still hold.
    void resetAll()
    {
        for (auto &[player, host] : pairs_) {
            player->disconnect();
            host->disconnect();
            for (QTcpSocket *end : {player, host}) {
                const linger immediately {1, 0};
                ::setsockopt(int(end->socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately, sizeof immediately);
                end->abort();
            }
        }
        pairs_.clear();
    }

    // New connections are refused from now on.
    void stopListening() { server_.close(); }
    // The same port answers again.
    bool listenAgain() { return server_.listen(QHostAddress::LocalHost, port_); }
    // New connections are accepted and closed at once, before the host hears of them.
    void hangUpNewcomers() { hangUp_ = true; }

private:
    void carry(QTcpSocket *player)
    {
        ++made_;
        player->setParent(this);
        if (hangUp_) {
            player->disconnectFromHost();
            return;
        }
        auto *host = new QTcpSocket(this);
        host->connectToHost(QHostAddress::LocalHost, hostPort_);
        pairs_.append(std::make_pair(player, host));
        const auto pass = [](QTcpSocket *from, QTcpSocket *to) {
            connect(from, &QTcpSocket::readyRead, to, [from, to] { to->write(from->readAll()); });
            connect(from, &QTcpSocket::disconnected, to, [to] { to->disconnectFromHost(); });
        };
        pass(player, host);
        pass(host, player);
    }

    quint16 hostPort_;
    quint16 port_ = 0;
    int made_ = 0;
    bool hangUp_ = false;
    QTcpServer server_;
    QList<std::pair<QTcpSocket *, QTcpSocket *>> pairs_;
};

} // namespace testing_support
