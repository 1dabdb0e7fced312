#include "discovery/service_probe.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ServiceProbe::ServiceProbe(const QString &address, quint16 port, int ms, QObject *parent)
    : QObject(parent)
{
    deadline_.setSingleShot(true);
    // A busy thread may see the deadline before the notifier: the socket itself has the answer.
    connect(&deadline_, &QTimer::timeout, this, [this] { finish(connected()); });
    sockaddr_storage target {};
    socklen_t length = 0;
    auto *v4 = reinterpret_cast<sockaddr_in *>(&target);
    auto *v6 = reinterpret_cast<sockaddr_in6 *>(&target);
    const QByteArray text = address.toLatin1();
    if (inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        length = sizeof *v4;
    } else if (inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        length = sizeof *v6;
    }
    if (length > 0)
        fd_ = ::socket(target.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const bool started = fd_ >= 0 && (::connect(fd_, reinterpret_cast<sockaddr *>(&target), length) == 0 || errno == EINPROGRESS);
    if (!started) {
        QTimer::singleShot(0, this, [this] { finish(false); });
        return;
    }
    writable_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
    connect(writable_, &QSocketNotifier::activated, this, [this] { finish(connected()); });
    deadline_.start(ms);
}

bool ServiceProbe::connected() const
{
    pollfd entry {fd_, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    return ::poll(&entry, 1, 0) == 1 && getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

ServiceProbe::~ServiceProbe()
{
    if (writable_)
        writable_->setEnabled(false);
    if (fd_ >= 0)
        ::close(fd_);
}

void ServiceProbe::finish(bool answers)
{
    if (done_)
        return;
    done_ = true;
    deadline_.stop();
    if (writable_)
        writable_->setEnabled(false);
    emit answered(answers);
}
