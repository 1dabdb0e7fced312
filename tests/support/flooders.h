#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace testing_support {

// Players on a host at 127.0.0.1 who each send one chat line `perSecond` times a second, from a
// thread of their own so that nothing else in the process slows them down. They log in first (as
// "Flood1", "Flood2", ...), read and drop everything the host sends, and count the host's notices
// to them (chat lines of seat 0).
class Flooders
{
public:
    Flooders(int port, int count, const QByteArray &text, int perSecond)
        : text_(text)
        , perSecond_(perSecond)
    {
        for (int n = 1; n <= count; ++n)
            login(port, n);
        thread_ = std::thread([this] { run(); });
    }
    ~Flooders() { stop(); }
    Flooders(const Flooders &) = delete;
    Flooders &operator=(const Flooders &) = delete;

    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        for (const Flooder &flooder : flooders_)
            ::close(flooder.fd);
        flooders_.clear();
    }
    int loggedIn() const { return int(flooders_.size()); }

    std::atomic<int> linesSent {0};
    std::atomic<int> notices {0};
    std::atomic<int> closedByHost {0};
    // Flooders that were told at least once, or that the host closed at its own ceiling before.
    std::atomic<int> toldOrClosedUntold {0};

private:
    struct Flooder {
        int fd = -1;
        QByteArray line;
        QByteArray pending; // what the host sent, not yet cut into messages
        bool open = true;
        bool told = false;
    };

    // Connects and logs in, blocking: the host runs in a process of its own.
    void login(int port, int n)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            ::close(fd);
            return;
        }
        QByteArray got;
        char buffer[256];
        while (!got.contains('\xFF')) {
            const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
            if (count <= 0) {
                ::close(fd);
                return;
            }
            got.append(buffer, int(count));
        }
        const QByteArray seat = got.left(got.indexOf('\xFF')).mid(18); // after "CMD_sendlogininfo+"
        const QByteArray hello = "CMD_logininfo+" + seat + "+1.0.4+Flood" + QByteArray::number(n) + "\xFF\xFF";
        ::send(fd, hello.constData(), size_t(hello.size()), MSG_NOSIGNAL);
        flooders_.push_back({fd, "CMD_chat+" + seat + '+' + text_ + "|clRed\xFF", {}, true});
    }

    void run()
    {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        long round = 0;
        while (!stop_) {
            const long due = long(std::chrono::duration<double>(Clock::now() - start).count() * perSecond_);
            for (; round < due; ++round) {
                for (Flooder &flooder : flooders_) {
                    if (flooder.open
                        && ::send(flooder.fd, flooder.line.constData(), size_t(flooder.line.size()), MSG_NOSIGNAL | MSG_DONTWAIT) > 0)
                        ++linesSent;
                }
            }
            std::vector<pollfd> fds;
            for (const Flooder &flooder : flooders_)
                fds.push_back({flooder.open ? flooder.fd : -1, POLLIN, 0});
            ::poll(fds.data(), nfds_t(fds.size()), 2);
            for (size_t i = 0; i < fds.size(); ++i) {
                if (fds[i].revents)
                    read(flooders_[i]);
            }
        }
    }

    void read(Flooder &flooder)
    {
        if (!flooder.open)
            return;
        char buffer[65536];
        const ssize_t count = ::recv(flooder.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            flooder.open = false;
            ++closedByHost;
            if (!flooder.told)
                ++toldOrClosedUntold;
            return;
        }
        if (count < 0)
            return;
        flooder.pending.append(buffer, int(count));
        qsizetype start = 0;
        qsizetype end;
        while ((end = flooder.pending.indexOf('\xFF', start)) >= 0) {
            if (QByteArrayView(flooder.pending).sliced(start).startsWith("CMD_chat+0+")) {
                ++notices;
                if (!std::exchange(flooder.told, true))
                    ++toldOrClosedUntold;
            }
            start = end + 1;
        }
        flooder.pending.remove(0, start);
    }

    QByteArray text_;
    int perSecond_;
    std::vector<Flooder> flooders_;
    std::thread thread_;
    std::atomic<bool> stop_ {false};
};

} // namespace testing_support
