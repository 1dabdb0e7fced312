#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>

#include <arpa/inet.h>
#include <atomic>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A stand-in for the Agones SDK server that runs beside a game server in its pod, written from
// the documented REST API: it answers on 127.0.0.1 as documented ("{}" to Ready, Health, Shutdown
// and labels, whose bodies must be JSON; the GameServer on /gameserver and, on /watch/gameserver,
// as a stream of JSON lines, one each time it changes) and records every call. Its port is taken
// at once but refuses connections until start(), so it can start after the game server, go away
// (stop) and come back on the same port; or it can hang, taking calls without answering.
class AgonesStandIn
{
public:
    struct Call {
        qint64 ms; // since the stand-in was made
        QByteArray method;
        QByteArray path;
        QByteArray body;
    };

    AgonesStandIn()
    {
        clock_.start();
        listener_ = bound(0);
    }
    ~AgonesStandIn() { stop(); ::close(listener_); }
    AgonesStandIn(const AgonesStandIn &) = delete;
    AgonesStandIn &operator=(const AgonesStandIn &) = delete;

    int port() const { return port_; }
    qint64 now() const { return clock_.elapsed(); }

    void start()
    {
        if (listener_ < 0)
            listener_ = bound(port_);
        ::listen(listener_, 16);
        stopping_ = false;
        thread_ = std::thread([this] { serve(); });
    }
    // Gone: the port refuses connections and every open one is closed.
    void stop()
    {
        if (!thread_.joinable())
            return;
        stopping_ = true;
        thread_.join();
        ::close(listener_);
        listener_ = -1;
    }
    // Hung: calls are taken and recorded but never answered.
    void setSilent(bool silent) { silent_ = silent; }
    // Agones moves the game server to `state` ("Allocated"): every watcher is told.
    void setState(const QByteArray &state)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = state;
        ++version_;
    }
    QList<Call> calls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    // The calls to `path` from `from` ms on.
    QList<Call> callsTo(const QByteArray &path, qint64 from = 0) const
    {
        QList<Call> found;
        for (const Call &call : calls()) {
            if (call.path == path && call.ms >= from)
                found << call;
        }
        return found;
    }

private:
    struct Connection {
        QByteArray in;
        bool watching = false;
        int toldVersion = -1;
    };

    int bound(int port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port));
        ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        return fd;
    }

    void serve()
    {
        std::map<int, Connection> connections;
        while (!stopping_) {
            std::vector<pollfd> fds {{listener_, POLLIN, 0}};
            for (const auto &[fd, connection] : connections)
                fds.push_back({fd, POLLIN, 0});
            ::poll(fds.data(), nfds_t(fds.size()), 20);
            if (fds[0].revents & POLLIN) {
                const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0)
                    connections[fd] = {};
            }
            for (size_t i = 1; i < fds.size(); ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                char buffer[8192];
                const ssize_t size = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
                if (size <= 0) {
                    ::close(fds[i].fd);
                    connections.erase(fds[i].fd);
                    continue;
                }
                connections[fds[i].fd].in.append(buffer, int(size));
                while (answerOne(fds[i].fd, connections[fds[i].fd])) {
                }
            }
            for (auto &[fd, connection] : connections) {
                if (connection.watching)
                    tellWatcher(fd, connection);
            }
        }
        for (const auto &[fd, connection] : connections)
            ::close(fd);
    }

    // Answers the first complete request a connection has sent; false when none is complete.
    bool answerOne(int fd, Connection &connection)
    {
        const qsizetype headEnd = connection.in.indexOf("\r\n\r\n");
        if (headEnd < 0 || connection.watching)
            return false;
        const QByteArray head = connection.in.left(headEnd);
        qsizetype length = 0;
        for (const QByteArray &line : head.split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        if (connection.in.size() < headEnd + 4 + length)
            return false;
        const QList<QByteArray> requestLine = head.left(head.indexOf('\r')).split(' ');
        const Call call {now(), requestLine.value(0), requestLine.value(1), connection.in.mid(headEnd + 4, length)};
        connection.in.remove(0, headEnd + 4 + length);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_ << call;
        }
        if (!silent_)
            answer(fd, connection, call);
        return true;
    }

    void answer(int fd, Connection &connection, const Call &call)
    {
        const bool lifecycle = call.path == "/ready" || call.path == "/health" || call.path == "/shutdown";
        if (call.method == "GET" && call.path == "/watch/gameserver") {
            connection.watching = true;
            send(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n");
            tellWatcher(fd, connection);
        } else if (call.method == "GET" && call.path == "/gameserver") {
            respond(fd, "200 OK", gameServer());
        } else if ((call.method == "POST" && lifecycle) || (call.method == "PUT" && call.path == "/metadata/label")) {
            const QJsonDocument body = QJsonDocument::fromJson(call.body);
            const QJsonObject fields = body.object();
            const bool label = call.path == "/metadata/label";
            if (!body.isObject() || (label && (!fields.value("key").isString() || !fields.value("value").isString()))) {
                respond(fd, "400 Bad Request", R"({"code":3,"message":"invalid body"})");
                return;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            if (label)
                labels_["agones.dev/sdk-" + fields.value("key").toString()] = fields.value("value").toString();
            if (call.path == "/ready" && state_ != "Allocated")
                state_ = "Ready";
            if (call.path == "/shutdown")
                state_ = "Shutdown";
            if (call.path != "/health")
                ++version_;
            respond(fd, "200 OK", "{}");
        } else {
            respond(fd, "404 Not Found", R"({"code":5,"message":"Not Found"})");
        }
    }

    QByteArray gameServer() const
    {
        QJsonObject labels;
        QByteArray state;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto at = labels_.constBegin(); at != labels_.constEnd(); ++at)
                labels.insert(at.key(), at.value());
            state = state_;
        }
        const QJsonObject meta {{"name", "vrel-stand-in"}, {"namespace", "default"}, {"labels", labels}};
        const QJsonObject status {{"state", QString::fromLatin1(state)}, {"address", "127.0.0.1"}};
        return QJsonDocument(QJsonObject {{"object_meta", meta}, {"status", status}}).toJson(QJsonDocument::Compact);
    }

    void tellWatcher(int fd, Connection &connection)
    {
        int version;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            version = version_;
        }
        if (version == connection.toldVersion)
            return;
        connection.toldVersion = version;
        const QByteArray line = R"({"result":)" + gameServer() + "}\n";
        send(fd, QByteArray::number(line.size(), 16) + "\r\n" + line + "\r\n");
    }

    static void respond(int fd, const QByteArray &status, const QByteArray &body)
    {
        send(fd, "HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nContent-Length: "
                     + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }
    static void send(int fd, const QByteArray &bytes) { ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL); }

    QElapsedTimer clock_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ {false};
    std::atomic<bool> silent_ {false};
    std::thread thread_;
    mutable std::mutex mutex_;
    QList<Call> calls_;
    QByteArray state_ = "Scheduled";
    QMap<QString, QString> labels_;
    int version_ = 0;
};
