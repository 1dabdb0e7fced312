#include "rejoin/connection_words.h"

#include "net/esock_exception.h"
#include "net/tsock.h"
#include "net/wsa_errors.h"

namespace connectionwords {

QString reason(int wsaCode)
{
    switch (wsaCode) {
    case wsa::kConnectionRefused:
        return QStringLiteral("connection refused");
    case wsa::kTimedOut:
        return QStringLiteral("no answer (timed out)");
    case wsa::kNetworkUnreachable:
    case wsa::kHostUnreachable:
    case wsa::kHostDown:
    case wsa::kAddressNotAvailable:
    case wsa::kAccessDenied:
        return QStringLiteral("the address cannot be reached");
    case wsa::kNetworkDown:
        return QStringLiteral("the network is down");
    case wsa::kHostNotFound:
        return QStringLiteral("the name cannot be found");
    case wsa::kConnectionReset:
        return QStringLiteral("the connection was reset");
    default:
        return QStringLiteral("network error (%1)").arg(wsa::errorText(wsaCode));
    }
}

QString couldNotConnect(const QString &addressText, int wsaCode)
{
    // The chat sets a line's head apart at its first colon, which must not be the address's own.
    return QStringLiteral("Could not connect: %1, %2.").arg(addressText, reason(wsaCode));
}

QString portInUse(int port, int suggestion)
{
    QString text = QStringLiteral("Port %1 is already in use on this computer, perhaps by another game that is "
                                  "hosting. Close that program, or host on another port")
                       .arg(port);
    if (suggestion > 0)
        text += QStringLiteral(", for example %1").arg(suggestion);
    return text + QLatin1Char('.');
}

QString portInUseOnCommandLine(int port, int suggestion)
{
    QString text = portInUse(port, suggestion);
    if (suggestion > 0)
        text.insert(text.size() - 1, QStringLiteral(" (start with --port %1)").arg(suggestion));
    return text;
}

int freePortNear(int port)
{
    constexpr int kTried = 20;
    for (int candidate = port + 1; candidate <= port + kTried && candidate <= 65535; ++candidate) {
        TSock probe;
        probe.setPortName(QString::number(candidate));
        try {
            probe.setListen(true);
            return candidate;
        } catch (const ESockException &) {
        }
    }
    return 0;
}

} // namespace connectionwords
