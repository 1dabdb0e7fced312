#pragma once

#include "net/sock_address.h"

#include <QByteArray>
#include <QHash>
#include <QString>

// Who comes in at the door. Connections that have not logged in yet (strangers) are counted by
// the party they come from, so that one party cannot keep everybody else out; and what the host
// says about connections is said at most once a minute for each party, so that one party cannot
// flood the host's log either.
namespace door {

// The seats and places at the door one party may hold with connections that have not logged in.
inline constexpr int kStrangersPerParty = 2;

// The party an address belongs to: an IPv4 address whole (also when it reaches the IPv6 socket
// as ::ffff:a.b.c.d), an IPv6 address by its /64 network, which one household or one server
// holds. Empty for no address: a link without one is a party of its own.
QByteArray partyOf(const SockAddress &address);
// 127.0.0.0/8 and ::1 (also as ::ffff:127.x.y.z).
bool isLoopback(const SockAddress &address);
// Where a connection comes from, for a log: "10.0.0.5 port 50112"; "nowhere known" without one.
QString where(const SockAddress &address);

// The host's lines about connections, each kind said once a minute for each party; a line said
// again after a quiet minute tells how many like it were left unsaid in between.
class Log
{
public:
    enum class Kind {
        Accepted,
        Waiting,
        TooManyStrangers,
        Full,
        NoLogin,
        GaveWay,
        EarlyRequest,
        Overlong,
        Flooding,
        TooFast,
    };
    static constexpr qint64 kQuietMs = 60 * 1000;
    // Parties remembered at most: beyond, lines about new parties wait until old ones are forgotten.
    static constexpr int kMaxRemembered = 4096;

    // The line to write now, or an empty text when a line of its kind about its party was written
    // less than a minute ago.
    QString line(Kind kind, const QByteArray &party, const QString &text, qint64 nowMs);

private:
    struct Said {
        qint64 atMs = 0;
        int unsaid = 0;
    };
    void forgetOld(qint64 nowMs);

    QHash<QPair<int, QByteArray>, Said> said_;
};

} // namespace door
