#include "portmap/router_http.h"

#include "net/http_response_parser.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace portmap {

namespace {

struct Url {
    QByteArray host;      // an address, without brackets
    QByteArray hostField; // as the Host header carries it
    QByteArray port = "80";
    QByteArray path = "/";
};

std::optional<Url> readUrl(const QByteArray &url)
{
    static const QByteArray scheme = "http://";
    if (!url.startsWith(scheme))
        return std::nullopt;
    Url read;
    QByteArray authority = url.mid(scheme.size());
    const qsizetype slash = authority.indexOf('/');
    if (slash >= 0) {
        read.path = authority.mid(slash);
        authority.truncate(slash);
    }
    read.hostField = authority;
    qsizetype colon = -1;
    if (authority.startsWith('[')) {
        const qsizetype close = authority.indexOf(']');
        if (close < 0)
            return std::nullopt;
        read.host = authority.mid(1, close - 1);
        colon = authority.indexOf(':', close);
    } else {
        colon = authority.indexOf(':');
        read.host = authority.left(colon < 0 ? authority.size() : colon);
    }
    if (colon >= 0)
        read.port = authority.mid(colon + 1);
    if (read.host.isEmpty() || read.port.isEmpty() || read.path.contains(' ') || read.path.contains('\r') || read.path.contains('\n'))
        return std::nullopt;
    return read;
}

class Socket
{
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(Socket &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    int fd() const { return fd_; }

    // Waits for `events` in slices until patience is over.
    bool waitFor(short events, const Patience &patience) const
    {
        while (!patience.over()) {
            pollfd entry {fd_, events, 0};
            const int ready = ::poll(&entry, 1, patience.nextWaitMs());
            if (ready > 0)
                return true;
            if (ready < 0 && errno != EINTR)
                return false;
        }
        return false;
    }

private:
    int fd_;
};

std::optional<Socket> connectTo(const Url &url, const Patience &patience)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (getaddrinfo(url.host.constData(), url.port.constData(), &hints, &found) != 0 || !found)
        return std::nullopt;
    std::optional<Socket> socket;
    socket.emplace(::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const bool started = socket->fd() >= 0
                         && (::connect(socket->fd(), found->ai_addr, found->ai_addrlen) == 0 || errno == EINPROGRESS);
    freeaddrinfo(found);
    if (!started || !socket->waitFor(POLLOUT, patience))
        return std::nullopt;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socket->fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
        return std::nullopt;
    return socket;
}

QString localAddressOf(const Socket &socket)
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (getsockname(socket.fd(), reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in &>(address).sin_addr, text, sizeof text);
    else if (address.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6 &>(address).sin6_addr, text, sizeof text);
    return QString::fromLatin1(text);
}

bool sendAll(const Socket &socket, const QByteArray &bytes, const Patience &patience)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (!socket.waitFor(POLLOUT, patience))
            return false;
        const ssize_t n = ::send(socket.fd(), bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        sent += std::max<ssize_t>(n, 0);
    }
    return true;
}

// Keeps the body, up to its cap; notes a chunked one.
class Collector : public HttpResponseParser::Listener
{
public:
    explicit Collector(qsizetype maxBody) : maxBody_(maxBody) {}
    HttpResponseParser *parser = nullptr;
    QByteArray body;
    bool chunked = false;
    bool tooLarge = false;

    void headerLine(const QByteArray &line) override
    {
        const QByteArray lower = line.toLower();
        if (lower.startsWith("transfer-encoding:") && lower.contains("chunked"))
            chunked = true;
    }
    void headEnded() override {}
    void bodyData(QByteArrayView piece) override
    {
        if (body.size() + piece.size() > maxBody_) {
            tooLarge = true;
            parser->stop();
            return;
        }
        body.append(piece);
    }

private:
    qsizetype maxBody_;
};

} // namespace

std::optional<HttpAnswer> httpRequest(const QByteArray &url, const QByteArray &method, const QList<QByteArray> &headers,
                                      const QByteArray &body, const Patience &patience, qsizetype maxBody)
{
    const std::optional<Url> target = readUrl(url);
    if (!target)
        return std::nullopt;
    std::optional<Socket> socket = connectTo(*target, patience);
    if (!socket)
        return std::nullopt;
    QByteArray request = method + ' ' + target->path + " HTTP/1.1\r\nHost: " + target->hostField + "\r\n";
    for (const QByteArray &header : headers)
        request += header + "\r\n";
    if (!body.isEmpty() || method == "POST")
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Connection: close\r\n\r\n" + body;
    if (!sendAll(*socket, request, patience))
        return std::nullopt;

    Collector collector(maxBody);
    HttpResponseParser parser(collector);
    collector.parser = &parser;
    char buffer[16 * 1024];
    while (!parser.finished()) {
        if (!socket->waitFor(POLLIN, patience))
            return std::nullopt;
        const ssize_t n = ::recv(socket->fd(), buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            parser.closed();
        else
            parser.feed(QByteArrayView(buffer, n));
    }
    if (parser.phase() != HttpResponseParser::Phase::Complete || collector.tooLarge)
        return std::nullopt;
    HttpAnswer answer;
    answer.status = parser.statusCode();
    answer.localAddress = localAddressOf(*socket);
    if (collector.chunked) {
        std::optional<QByteArray> whole = unchunked(collector.body);
        if (!whole)
            return std::nullopt;
        answer.body = *whole;
    } else {
        answer.body = collector.body;
    }
    return answer;
}

std::optional<QByteArray> unchunked(const QByteArray &body)
{
    QByteArray whole;
    qsizetype at = 0;
    for (;;) {
        const qsizetype lineEnd = body.indexOf("\r\n", at);
        if (lineEnd < 0)
            return std::nullopt;
        QByteArray sizeText = body.mid(at, lineEnd - at);
        const qsizetype extension = sizeText.indexOf(';');
        if (extension >= 0)
            sizeText.truncate(extension);
        bool ok = false;
        const qlonglong size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0 || size > body.size())
            return std::nullopt;
        if (size == 0)
            return whole;
        const qsizetype data = lineEnd + 2;
        if (data + size + 2 > body.size() || body.mid(data + size, 2) != "\r\n")
            return std::nullopt;
        whole.append(body.constData() + data, size);
        at = data + size + 2;
    }
}

} // namespace portmap
