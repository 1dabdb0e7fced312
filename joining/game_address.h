#pragma once

#include "protocol/constants.h"

#include <QString>

#include <optional>

// A game's address: a host (a name, an IPv4 address, or an IPv6 address without brackets) and
// its port. Players type it as HOST, HOST:PORT or [IPv6]:PORT; an invite link is "vrel://" and
// the same text.
struct GameAddress {
    QString host;
    int port = proto::kDefaultPort;

    bool isIpv6() const { return host.contains(u':'); }
    // HOST:PORT, an IPv6 host in brackets: "[2001:db8::1]:7772".
    QString text() const;
    // "vrel://" and text().
    QString inviteLink() const;

    friend bool operator==(const GameAddress &, const GameAddress &) = default;
};

inline const QString kInviteScheme = QStringLiteral("vrel://");

// What reading an address gave: the address, or the reason in a player's words.
struct AddressReading {
    std::optional<GameAddress> address;
    QString problem;
};

// Reads HOST, HOST:PORT or [IPv6]:PORT (blanks around it ignored); without a port the game's
// port 7772.
AddressReading readGameAddress(const QString &typed);

// Whether a text is an invite link: it begins with "vrel://" (the scheme in any case).
bool isInviteLink(const QString &text);

// Reads an invite link, "vrel://" and an address as readGameAddress takes it; a "/" after the
// address (which browsers add) is ignored.
AddressReading readInviteLink(const QString &link);
