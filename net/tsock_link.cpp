#include "net/tsock_link.h"

#include "net/esock_exception.h"
#include "net/tsock.h"
#include "net/wsa_errors.h"

#include <QRegularExpression>

#include <memory>

namespace {

// The code of an error report, "Error #10061 (WSAECONNREFUSED)"; 0 for other error texts.
int errorCode(const QString &report)
{
    static const QRegularExpression numbered(QStringLiteral("^Error #(\\d+) "));
    const QRegularExpressionMatch match = numbered.match(report);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

TSockLink::TSockLink(TSock *sock, QObject *parent)
    : Link(parent)
    , sock_(sock)
{
    sock_->setParent(this);
    sock_->OnRead = [this](TSock *s, int) { emit received(s->Receive()); };
    sock_->OnDisconnect = [this](TSock *) { emit peerClosed(); };
    sock_->OnLookupFailed = [this](TSock *) { emit connectFailed(wsa::kHostNotFound); };
    sock_->OnLookupDone = [this](TSock *) {
        hostKnown_ = true;
        emit hostResolved();
    };
    sock_->OnInfo = [this](TSock *s, TSocketInfo kind, const QString &text) {
        if (text == QLatin1String("Socket Closed")) {
            emit closed();
            return;
        }
        if (kind != siError)
            return;
        // An established connection that fails (reset, timed out) is closed right after the
        // report, like one its peer ended.
        if (!s->Connected())
            emit connectFailed(errorCode(text));
    };
}

TSockLink::~TSockLink()
{
    sock_->OnInfo = nullptr;
    sock_->OnLookupFailed = nullptr;
    sock_->OnLookupDone = nullptr;
    sock_->OnRead = nullptr;
    sock_->OnDisconnect = nullptr;
}

std::unique_ptr<TSockLink> TSockLink::connectTo(const QString &address, int port)
{
    auto link = std::make_unique<TSockLink>(new TSock);
    link->sock_->setHostName(address);
    link->sock_->setPortName(QString::number(port));
    link->sock_->NoDelay = true;
    link->sock_->KeepAlive = true;
    link->sock_->OrderlyClose = true;
    link->sock_->ConnectTimeoutMs = kConnectTimeoutMs;
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

SockAddress TSockLink::peerAddress() const
{
    return sock_->peerAddress();
}

SockAddress TSockLink::localAddress() const
{
    return sock_->localAddress();
}
