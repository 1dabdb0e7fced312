#include "net/tsock_link.h"

#include "net/esock_exception.h"
#include "net/tsock.h"

#include <memory>

TSockLink::TSockLink(TSock *sock, QObject *parent)
    : Link(parent)
    , sock_(sock)
{
    sock_->setParent(this);
    sock_->OnRead = [this](TSock *s, int) { emit received(s->Receive()); };
    sock_->OnDisconnect = [this](TSock *) { emit peerClosed(); };
    sock_->OnInfo = [this](TSock *, TSocketInfo, const QString &text) {
        if (text == QLatin1String("Socket Closed"))
            emit closed();
    };
}

TSockLink::~TSockLink()
{
    sock_->OnInfo = nullptr;
    sock_->OnRead = nullptr;
    sock_->OnDisconnect = nullptr;
}

std::unique_ptr<TSockLink> TSockLink::connectTo(const QString &address, int port)
{
    auto link = std::make_unique<TSockLink>(new TSock);
    link->sock_->setHostName(address);
    link->sock_->setPortName(QString::number(port));
    link->sock_->NoDelay = true;
    link->sock_->Connect();
    return link;
}

void TSockLink::send(const QByteArray &bytes)
{
    try {
        sock_->Send(bytes);
    } catch (const ESockException &) {
        // A connection that cannot take bytes any more is on its way to being closed; nobody
        // else must notice.
    }
}

void TSockLink::close()
{
    sock_->Close();
}
