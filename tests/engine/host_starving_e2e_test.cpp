// Connections that take seats without ever logging in, against a real vrel-host: a player who
// comes while they hold and retake every seat still gets one.

#include "tests/support/host_process.h"
#include "tests/support/raw_client.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using testing_support::HostProcess;
using testing_support::RawClient;

namespace {

const QByteArray T("\xFF", 1);

// A connection from a loopback address of its choice that says nothing and connects again the
// moment the host closes it, whether for its silence or because the game is full.
class Stranger : public QObject
{
public:
    Stranger(int port, const char *source)
        : port_(port)
        , source_(source)
    {
        reconnect();
    }
    ~Stranger() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int connections = 0;

private:
    void reconnect()
    {
        if (notifier_)
            notifier_.release()->deleteLater();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in from {};
        from.sin_family = AF_INET;
        ::inet_pton(AF_INET, source_, &from.sin_addr);
        ::bind(fd_, reinterpret_cast<sockaddr *>(&from), sizeof from);
        sockaddr_in to {};
        to.sin_family = AF_INET;
        to.sin_port = htons(uint16_t(port_));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd_, reinterpret_cast<sockaddr *>(&to), sizeof to);
        ++connections;
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { onReadable(); });
    }

    void onReadable()
    {
        char buffer[4096];
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count > 0 || (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)))
            return;
        reconnect();
    }

    int port_;
    const char *source_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

TEST(HostSeatStarving, APlayerIsSeatedWithinFiveSecondsWhileStrangersHoldAndRetakeEverySeat)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0) << host.log().constData();
    // Twelve strangers from the player's own address and two from each of three others.
    std::vector<std::unique_ptr<Stranger>> strangers;
    for (int i = 0; i < 12; ++i)
        strangers.push_back(std::make_unique<Stranger>(host.port(), "127.0.0.1"));
    for (const char *source : {"127.0.0.2", "127.0.0.3", "127.0.0.4"}) {
        for (int i = 0; i < 2; ++i)
            strangers.push_back(std::make_unique<Stranger>(host.port(), source));
    }
    // Long enough for them to hold every seat and the line at the door, and to have been
    // turned away and come back.
    testing_support::settle(2500);
    ASSERT_TRUE(host.log().contains("waits for a seat")) << host.log().right(2000).constData();

    // The player connects, waits for its seat, and tries again a second after a refusal.
    QElapsedTimer elapsed;
    elapsed.start();
    std::unique_ptr<RawClient> player;
    int seat = 0;
    while (seat == 0 && elapsed.elapsed() < 10000) {
        player = std::make_unique<RawClient>(host.port());
        const std::optional<QByteArray> answer = player->next(int(10000 - elapsed.elapsed()));
        if (answer && answer->startsWith("CMD_sendlogininfo+"))
            seat = answer->mid(18).toInt();
        else
            testing_support::settle(1000);
    }
    ASSERT_GT(seat, 0);
    player->send("CMD_logininfo+" + QByteArray::number(seat) + "+1.0.4+Ann" + T + T);
    EXPECT_EQ(player->next(), "CMD_newplayerinfo+" + QByteArray::number(seat) + "+Ann");
    RecordProperty("seatedAfterMs", int(elapsed.elapsed()));
    EXPECT_LT(elapsed.elapsed(), 5000);

    // Logged in, the player keeps the seat while the strangers go on.
    int before = 0;
    for (const auto &stranger : strangers)
        before += stranger->connections;
    EXPECT_FALSE(player->closedByPeer(3000));
    int after = 0;
    for (const auto &stranger : strangers)
        after += stranger->connections;
    EXPECT_GT(after, before);
}
