#pragma once

#include "net/link.h"

#include <QPointer>

#include <memory>
#include <utility>

namespace testing_support {

// One end of an in-memory connection: what one end sends, the other receives at once. Closing
// one end hangs up the other, as a socket does: the other end hears peerClosed() and then,
// unless its owner closed it already, closed().
class PairedLink : public Link
{
public:
    void send(const QByteArray &bytes) override
    {
        if (!closed_ && peer_ && !peer_->closed_)
            emit peer_->received(bytes);
    }
    void close() override
    {
        const bool first = !closed_;
        closed_ = true;
        emit closed();
        if (first && peer_)
            peer_->hangUp();
    }
    bool isClosed() const { return closed_; }

    // Two ends joined to each other: the first for a client, the second for the host's seat.
    static std::pair<std::unique_ptr<PairedLink>, std::unique_ptr<PairedLink>> make()
    {
        auto client = std::make_unique<PairedLink>();
        auto host = std::make_unique<PairedLink>();
        client->peer_ = host.get();
        host->peer_ = client.get();
        return {std::move(client), std::move(host)};
    }

private:
    void hangUp()
    {
        if (closed_)
            return;
        emit peerClosed();
        if (!closed_)
            close();
    }

    QPointer<PairedLink> peer_;
    bool closed_ = false;
};

} // namespace testing_support
