#pragma once

#include "engine/seat_link.h"

class TSock;

// A seat's connection over an accepted TSock: hands the socket's reads, disconnects and
// "Socket Closed" reports to the host engine.
class TSockSeatLink : public SeatLink
{
    Q_OBJECT
public:
    explicit TSockSeatLink(TSock *accepted, QObject *parent = nullptr);
    ~TSockSeatLink() override;

    void send(const QByteArray &bytes) override;
    void close() override;
    TSock *socket() const { return sock_; }

private:
    TSock *sock_;
};
