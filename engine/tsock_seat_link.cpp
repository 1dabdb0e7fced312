#include "engine/tsock_seat_link.h"

#include "net/esock_exception.h"
#include "net/tsock.h"

TSockSeatLink::TSockSeatLink(TSock *accepted, QObject *parent)
    : SeatLink(parent)
    , sock_(accepted)
{
    sock_->setParent(this);
    sock_->OnRead = [this](TSock *sock, int) { emit received(sock->Receive()); };
    sock_->OnDisconnect = [this](TSock *) { emit peerClosed(); };
    sock_->OnInfo = [this](TSock *, TSocketInfo, const QString &text) {
        if (text == QLatin1String("Socket Closed"))
            emit closed();
    };
}

TSockSeatLink::~TSockSeatLink()
{
    sock_->OnInfo = nullptr;
    sock_->OnRead = nullptr;
    sock_->OnDisconnect = nullptr;
}

void TSockSeatLink::send(const QByteArray &bytes)
{
    try {
        sock_->Send(bytes);
    } catch (const ESockException &) {
        // A connection that cannot take bytes any more is on its way to being closed; the
        // other seats must not notice.
    }
}

void TSockSeatLink::close()
{
    sock_->Close();
}
