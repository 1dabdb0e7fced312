#include "joining/game_address.h"

#include <QRegularExpression>

#include <arpa/inet.h>

namespace {

constexpr int kMaxHostNameLength = 253;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

AddressReading refused(const QString &problem)
{
    return {std::nullopt, problem};
}

// An IPv6 address, with a zone ("%eth0") allowed after it.
bool isIpv6Address(const QString &text)
{
    const qsizetype percent = text.indexOf(u'%');
    const QString address = percent < 0 ? text : text.left(percent);
    if (percent >= 0) {
        static const QRegularExpression zone(QStringLiteral("^[A-Za-z0-9_.-]+$"));
        if (!zone.match(text.mid(percent + 1)).hasMatch())
            return false;
    }
    unsigned char bytes[16];
    return inet_pton(AF_INET6, address.toLatin1().constData(), bytes) == 1 && address.contains(u':');
}

// A host name (labels of letters, digits and "-", joined by dots) or a dotted IPv4 address. Four
// labels of digits must make an IPv4 address.
std::optional<QString> hostNameProblem(const QString &host)
{
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    QString name = host;
    if (name.endsWith(u'.'))
        name.chop(1);
    const QStringList labels = name.split(u'.');
    bool wellFormed = !name.isEmpty() && name.size() <= kMaxHostNameLength;
    bool allDigits = true;
    for (const QString &part : labels) {
        wellFormed = wellFormed && label.match(part).hasMatch();
        for (QChar c : part)
            allDigits = allDigits && c.isDigit();
    }
    if (!wellFormed)
        return quoted(host) + QStringLiteral(" is not a computer's name or address: a name holds letters, digits, "
                                             "\"-\" and dots.");
    if (allDigits && labels.size() == 4) {
        unsigned char bytes[4];
        if (inet_pton(AF_INET, name.toLatin1().constData(), bytes) != 1)
            return quoted(host) + QStringLiteral(" is not an IP address: each of its four numbers goes from 0 to 255.");
    }
    return std::nullopt;
}

std::optional<int> portNumber(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!ok || !digits.match(text).hasMatch() || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

} // namespace

QString GameAddress::text() const
{
    const QString shownHost = isIpv6() ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shownHost + QLatin1Char(':') + QString::number(port);
}

QString GameAddress::inviteLink() const
{
    return kInviteScheme + text();
}

AddressReading readGameAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return refused(QStringLiteral("Type the game's address: the name or IP address of the computer that hosts it, "
                                      "with \":\" and the port when it is not %1.")
                           .arg(proto::kDefaultPort));
    for (QChar c : text) {
        if (c.isSpace())
            return refused(QStringLiteral("An address has no blanks in it: %1.").arg(quoted(text)));
    }

    QString host;
    std::optional<QString> portText;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return refused(QStringLiteral("The IPv6 address in %1 has no closing \"]\".").arg(quoted(text)));
        host = text.mid(1, close - 1);
        if (!isIpv6Address(host))
            return refused(quoted(host) + QStringLiteral(" is not an IPv6 address."));
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return refused(QStringLiteral("After \"]\" comes \":\" and the port, as in [%1]:%2.").arg(host).arg(proto::kDefaultPort));
        if (!rest.isEmpty())
            portText = rest.mid(1);
    } else {
        const qsizetype colons = text.count(u':');
        if (colons > 1)
            return refused(QStringLiteral("An IPv6 address goes in brackets, with the port after them: [%1]:%2.")
                               .arg(isIpv6Address(text) ? text : QStringLiteral("2001:db8::1"))
                               .arg(proto::kDefaultPort));
        const qsizetype colon = text.indexOf(u':');
        host = colon < 0 ? text : text.left(colon);
        if (colon >= 0)
            portText = text.mid(colon + 1);
        if (host.isEmpty())
            return refused(QStringLiteral("The computer's name or address is missing before \":\"."));
        if (const std::optional<QString> problem = hostNameProblem(host))
            return refused(*problem);
    }

    GameAddress address {host, proto::kDefaultPort};
    if (portText) {
        if (portText->isEmpty())
            return refused(QStringLiteral("The port is missing after \":\"."));
        const std::optional<int> port = portNumber(*portText);
        if (!port)
            return refused(QStringLiteral("The port must be a number from 1 to 65535, not %1.").arg(quoted(*portText)));
        address.port = *port;
    }
    return {address, QString()};
}

bool isInviteLink(const QString &text)
{
    return text.startsWith(kInviteScheme, Qt::CaseInsensitive);
}

AddressReading readInviteLink(const QString &link)
{
    if (!isInviteLink(link))
        return refused(QStringLiteral("%1 is not a game's invite link: those begin with \"%2\".").arg(quoted(link), kInviteScheme));
    QString address = link.mid(kInviteScheme.size());
    if (address.endsWith(u'/'))
        address.chop(1);
    AddressReading reading = readGameAddress(address);
    if (!reading.address)
        reading.problem = QStringLiteral("The invite link %1 does not name a game. %2").arg(quoted(link), reading.problem);
    return reading;
}
