#pragma once

#include "tests/support/raw_client.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_support {

// Plays the host's part on a loopback port, byte for byte, so that a test can hand a client
// exactly the messages it wants and read exactly what the client sends back.
class FakeHost
{
public:
    FakeHost()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr *>(&address), length) == 0 && ::listen(listener_, 4) == 0
            && ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~FakeHost() { ::close(listener_); }
    FakeHost(const FakeHost &) = delete;
    FakeHost &operator=(const FakeHost &) = delete;

    int port() const { return port_; }

    // The next connecting client, or nothing when none comes in time. The test's event loop
    // keeps running meanwhile, so a client in the same process can connect.
    std::unique_ptr<RawClient> accept(int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        pollfd entry {listener_, POLLIN, 0};
        while (::poll(&entry, 1, 5) <= 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (deadline.hasExpired())
                return nullptr;
        }
        const int fd = ::accept(listener_, nullptr, nullptr);
        return fd < 0 ? nullptr : std::make_unique<RawClient>(RawClient::Accepted {fd});
    }

private:
    int listener_ = -1;
    int port_ = 0;
};

} // namespace testing_support
