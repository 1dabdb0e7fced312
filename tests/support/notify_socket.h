#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

// A service manager's notify socket as systemd makes one: a datagram socket that services send
// their "NAME=value" lines to, named to them in NOTIFY_SOCKET. Everything received is kept with
// the time it came and the process that sent it.
class NotifySocket
{
public:
    struct Datagram {
        qint64 ms; // since the socket was made
        pid_t sender;
        QByteArray text;
    };

    // An abstract name ("@...", gone with the socket) when `path` is empty.
    explicit NotifySocket(const QByteArray &path = {})
    {
        name_ = path.isEmpty() ? "@vrel-notify-" + QByteArray::number(QRandomGenerator::system()->generate64(), 16) : path;
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        memcpy(address.sun_path, name_.constData(), size_t(name_.size()));
        if (name_.startsWith('@'))
            address.sun_path[0] = '\0';
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr *>(&address), socklen_t(offsetof(sockaddr_un, sun_path) + name_.size())) == 0;
        // Datagrams carry the time they arrived, so the reader need not be reading at that
        // moment, and, as systemd reads them, the credentials of their sender.
        const int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMP, &on, sizeof on);
        ::setsockopt(fd_, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
        // Many services' pings and statuses may come together.
        const int room = 4 << 20;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
        start_ = realMs();
    }
    ~NotifySocket() { ::close(fd_); }
    NotifySocket(const NotifySocket &) = delete;
    NotifySocket &operator=(const NotifySocket &) = delete;

    bool bound() const { return bound_; }
    int fd() const { return fd_; }
    const QList<Datagram> &received() const { return received_; }
    QByteArray name() const { return name_; }
    qint64 now() const { return realMs() - start_; }

    // Receives until a datagram holds the line `line` ("READY=1"); the first one after those
    // already looked at.
    std::optional<Datagram> waitFor(const QByteArray &line, int timeoutMs = 5000)
    {
        const qint64 deadline = now() + timeoutMs;
        while (true) {
            for (; looked_ < received_.size(); ++looked_) {
                if (received_.at(looked_).text.split('\n').contains(line))
                    return received_.at(looked_++);
            }
            if (!receive(int(deadline - now())))
                return std::nullopt;
        }
    }
    // Receives whatever comes for `ms`.
    void listen(int ms)
    {
        const qint64 deadline = now() + ms;
        while (now() < deadline)
            receive(int(deadline - now()));
    }
    // Takes whatever has come, without waiting.
    void drain()
    {
        while (receive(0)) {
        }
    }
    // When each datagram holding `line` came, from `from` ms on.
    QList<qint64> times(const QByteArray &line, qint64 from = 0) const
    {
        QList<qint64> at;
        for (const Datagram &d : received_) {
            if (d.ms >= from && d.text.split('\n').contains(line))
                at << d.ms;
        }
        return at;
    }
    // The STATUS= values received, in order, each once however often it was repeated.
    QList<QByteArray> statuses() const
    {
        QList<QByteArray> all;
        for (const Datagram &d : received_) {
            for (const QByteArray &field : d.text.split('\n')) {
                if (field.startsWith("STATUS=") && (all.isEmpty() || all.last() != field.mid(7)))
                    all << field.mid(7);
            }
        }
        return all;
    }

private:
    bool receive(int timeoutMs)
    {
        pollfd entry {fd_, POLLIN, 0};
        if (timeoutMs < 0 || ::poll(&entry, 1, timeoutMs) <= 0)
            return false;
        char buffer[4096];
        iovec data {buffer, sizeof buffer};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timeval)) + CMSG_SPACE(sizeof(ucred))];
        msghdr message {};
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = ::recvmsg(fd_, &message, 0);
        if (size < 0)
            return false;
        qint64 at = now();
        pid_t sender = 0;
        for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMP) {
                timeval arrived;
                memcpy(&arrived, CMSG_DATA(c), sizeof arrived);
                at = qint64(arrived.tv_sec) * 1000 + arrived.tv_usec / 1000 - start_;
            } else if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                ucred credentials;
                memcpy(&credentials, CMSG_DATA(c), sizeof credentials);
                sender = credentials.pid;
            }
        }
        received_ << Datagram {at, sender, QByteArray(buffer, int(size))};
        return true;
    }

    static qint64 realMs()
    {
        timeval now;
        gettimeofday(&now, nullptr);
        return qint64(now.tv_sec) * 1000 + now.tv_usec / 1000;
    }

    QByteArray name_;
    int fd_ = -1;
    bool bound_ = false;
    qint64 start_ = 0;
    QList<Datagram> received_;
    qsizetype looked_ = 0;
};
