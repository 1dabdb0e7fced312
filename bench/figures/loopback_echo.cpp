#include "loopback_echo.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {

constexpr size_t kMessageBytes = 64;

void noDelay(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool readFully(int fd, char *buffer, size_t size)
{
    for (size_t got = 0; got < size;) {
        const ssize_t n = ::recv(fd, buffer + got, size - got, 0);
        if (n <= 0)
            return false;
        got += size_t(n);
    }
    return true;
}

} // namespace

std::vector<double> loopbackEchoMs(int samples, std::chrono::milliseconds pause)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(listener, 1) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(listener);
        return {};
    }
    std::thread echo([listener] {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0)
            return;
        noDelay(fd);
        char buffer[kMessageBytes];
        while (readFully(fd, buffer, sizeof buffer) && ::send(fd, buffer, sizeof buffer, MSG_NOSIGNAL) == ssize_t(sizeof buffer)) {
        }
        ::close(fd);
    });
    std::vector<double> ms;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        noDelay(fd);
        char buffer[kMessageBytes] = {};
        for (int i = 0; i < samples; ++i) {
            std::this_thread::sleep_for(pause);
            const auto sent = std::chrono::steady_clock::now();
            if (::send(fd, buffer, sizeof buffer, MSG_NOSIGNAL) != ssize_t(sizeof buffer) || !readFully(fd, buffer, sizeof buffer))
                break;
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count());
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    ::shutdown(listener, SHUT_RDWR); // wakes the echo if it still waits to accept
    echo.join();
    ::close(listener);
    return ms;
}
