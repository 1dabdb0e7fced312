#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

// A small HTTP server on a free loopback port, on a thread of its own so that it answers while
// the test's thread waits inside a blocking request. It takes one connection at a time, reads
// the request's head and lets the test's script answer it.
class ScriptedHttpServer
{
public:
    // One accepted connection, as the script sees it.
    class Exchange
    {
    public:
        Exchange(int fd, const std::atomic<bool> &stopping)
            : fd_(fd)
            , stopping_(stopping)
        {
        }
        // False once the client has gone (or the server is stopping).
        bool send(const QByteArray &bytes)
        {
            if (stopping_)
                return false;
            return ::send(fd_, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
        }
        // The connection ends with a reset instead of an orderly close.
        void resetOnClose()
        {
            const linger abortive {1, 0};
            ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        }
        // Waits a while; false when the client closed the connection meanwhile.
        bool pause(int ms)
        {
            pollfd entry {fd_, POLLIN, 0};
            if (::poll(&entry, 1, ms) > 0) {
                char probe;
                if (::recv(fd_, &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
                    return false;
            }
            return !stopping_;
        }

    private:
        int fd_;
        const std::atomic<bool> &stopping_;
    };
    // Answers one request; the connection is closed when it returns.
    using Script = std::function<void(const QByteArray &request, Exchange &exchange)>;

    explicit ScriptedHttpServer(Script script)
        : script_(std::move(script))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedHttpServer()
    {
        stopping_ = true;
        thread_.join();
        ::close(listener_);
    }
    ScriptedHttpServer(const ScriptedHttpServer &) = delete;
    ScriptedHttpServer &operator=(const ScriptedHttpServer &) = delete;

    int port() const { return port_; }
    // A loopback port on which nobody listens (any more).
    static int closedPort()
    {
        const ScriptedHttpServer gone([](const QByteArray &, Exchange &) {});
        return gone.port();
    }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path); }

    // The heads of the requests received so far, in order.
    QList<QByteArray> requests() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // A complete answer: status line, the given header lines, Content-Length unless told not to,
    // an empty line and the body.
    static QByteArray answer(const QByteArray &status, const QByteArray &body, const QList<QByteArray> &headers = {},
                             bool withLength = true)
    {
        QByteArray bytes = "HTTP/1.0 " + status + "\r\n";
        for (const QByteArray &header : headers)
            bytes += header + "\r\n";
        if (withLength)
            bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        return bytes + "\r\n" + body;
    }

    // A slow answer: a head announcing `pieces` pieces of 100 bytes, then the pieces 40 ms apart
    // while the client listens. Returns false when the client left before the end.
    static bool slowBody(Exchange &exchange, int pieces)
    {
        exchange.send("HTTP/1.0 200 OK\r\nServer: slow\r\nContent-Length: " + QByteArray::number(pieces * 100) + "\r\n\r\n");
        for (int i = 0; i < pieces; ++i) {
            if (!exchange.pause(40) || !exchange.send(QByteArray(100, char('a' + i % 26))))
                return false;
        }
        return true;
    }

    // The path of a request's head ("GET /a/b HTTP/1.0" gives "/a/b").
    static QByteArray pathOf(const QByteArray &request)
    {
        const QList<QByteArray> words = request.left(request.indexOf('\r')).split(' ');
        return words.value(1);
    }

private:
    void serve()
    {
        while (!stopping_) {
            pollfd entry {listener_, POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0)
                continue;
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            const QByteArray request = readHead(fd);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_ << request;
            }
            Exchange exchange(fd, stopping_);
            script_(request, exchange);
            ::close(fd);
        }
    }

    QByteArray readHead(int fd)
    {
        QByteArray head;
        while (!head.contains("\r\n\r\n") && !stopping_) {
            pollfd entry {fd, POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0)
                continue;
            char buffer[4096];
            const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
            if (count <= 0)
                break;
            head.append(buffer, int(count));
        }
        return head;
    }

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ {false};
    mutable std::mutex mutex_;
    QList<QByteArray> requests_;
    std::thread thread_;
};

} // namespace testing_support
