#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_support {

// A peer that speaks the wire protocol over a plain socket, for end-to-end tests. While it
// waits it keeps the test's own event loop running, so it can talk to a host or a window that
// lives in the same process as well as to a separate host process.
class RawClient
{
public:
    // Connects to the port on 127.0.0.1, from 127.0.0.1 or from another loopback address given
    // ("127.0.0.2": another party to the host, and no network needed for it).
    explicit RawClient(int port, const char *from = nullptr)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (from) {
            sockaddr_in source {};
            source.sin_family = AF_INET;
            ::inet_pton(AF_INET, from, &source.sin_addr);
            ::bind(fd_, reinterpret_cast<sockaddr *>(&source), sizeof source);
        }
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    // A peer around a connection accepted elsewhere (a test that plays the host's part).
    struct Accepted {
        int fd;
    };
    explicit RawClient(Accepted accepted)
        : fd_(accepted.fd)
        , connected_(accepted.fd >= 0)
    {
    }
    ~RawClient() { close(); }
    RawClient(const RawClient &) = delete;
    RawClient &operator=(const RawClient &) = delete;

    bool connected() const { return connected_; }

    // Sends everything; while the other side's buffers are full the test's event loop runs, so
    // a window in this process reads on meanwhile.
    void send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (fd_ >= 0 && done < bytes.size()) {
            const ssize_t sent = ::send(fd_, bytes.constData() + done, size_t(bytes.size() - done),
                                        MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) {
                done += sent;
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                if (QCoreApplication::instance())
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                pollfd entry {fd_, POLLOUT, 0};
                ::poll(&entry, 1, 5);
            } else {
                return; // the other side is gone
            }
        }
    }

    // The next message without its terminator, or nothing when none arrives in time.
    std::optional<QByteArray> next(int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (true) {
            const qsizetype end = pending_.indexOf('\xFF');
            if (end >= 0) {
                QByteArray message = pending_.left(end);
                pending_.remove(0, end + 1);
                return message;
            }
            if (!fill(int(deadline.remainingTime())))
                return std::nullopt;
        }
    }

    // Messages until `count` arrived or the time is up.
    QList<QByteArray> take(int count, int timeoutMs = 3000)
    {
        QList<QByteArray> messages;
        QDeadlineTimer deadline(timeoutMs);
        while (messages.size() < count) {
            std::optional<QByteArray> message = next(int(std::max<qint64>(deadline.remainingTime(), 0)));
            if (!message)
                break;
            messages << *message;
        }
        return messages;
    }

    // Skips messages until one starts with `prefix`; returns it.
    std::optional<QByteArray> waitFor(const QByteArray &prefix, int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (std::optional<QByteArray> message = next(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
            if (message->startsWith(prefix))
                return message;
        }
        return std::nullopt;
    }

    // True when the host closed the connection within the time.
    bool closedByPeer(int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!eof_) {
            if (!fill(int(deadline.remainingTime())))
                return eof_;
        }
        return true;
    }

    // The connection ended with a reset rather than an orderly end.
    bool wasReset() const { return reset_; }

    // Whatever arrives within the time, as messages (empty when nothing did).
    QList<QByteArray> drain(int ms = 300)
    {
        QList<QByteArray> messages;
        while (std::optional<QByteArray> message = next(ms))
            messages << *message;
        return messages;
    }

    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    bool fill(int timeoutMs)
    {
        if (fd_ < 0 || eof_ || timeoutMs <= 0)
            return false;
        QDeadlineTimer deadline(timeoutMs);
        pollfd entry {fd_, POLLIN, 0};
        while (true) {
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (::poll(&entry, 1, 5) > 0)
                break;
            if (deadline.hasExpired())
                return false;
        }
        char buffer[65536];
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
        if (count <= 0) {
            reset_ = count < 0 && errno == ECONNRESET;
            eof_ = true;
            return false;
        }
        pending_.append(buffer, int(count));
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
    bool eof_ = false;
    bool reset_ = false;
    QByteArray pending_;
};

} // namespace testing_support
