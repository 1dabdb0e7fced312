#include "service/socket_activation.h"

#include <QtGlobal>

#include <unistd.h>

namespace {

constexpr int kFirstHandedOver = 3; // after stdin, stdout and stderr
constexpr int kMostHandedOver = 1024;

} // namespace

QList<int> takeActivatedSockets()
{
    bool pidNumeric = false;
    bool countNumeric = false;
    const qint64 pid = qEnvironmentVariable("LISTEN_PID").toLongLong(&pidNumeric);
    const int count = qEnvironmentVariable("LISTEN_FDS").toInt(&countNumeric);
    qunsetenv("LISTEN_PID");
    qunsetenv("LISTEN_FDS");
    qunsetenv("LISTEN_FDNAMES");
    QList<int> sockets;
    if (!pidNumeric || !countNumeric || pid != qint64(::getpid()) || count <= 0 || count > kMostHandedOver)
        return sockets;
    for (int fd = kFirstHandedOver; fd < kFirstHandedOver + count; ++fd)
        sockets << fd;
    return sockets;
}
