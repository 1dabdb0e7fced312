// Connections that take seats without ever logging in, against a real vrel-host: players who
// come from another address while they hold and retake every seat still get one, and the host's
// log stays small.

#include "tests/support/host_process.h"
#include "tests/support/raw_client.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

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

// A connection from a loopback address of its choice that says nothing and connects again 20 ms
// after the host closes it, whether for its silence or because the game is full.
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
        notifier_->setEnabled(false);
        QTimer::singleShot(20, this, [this] { reconnect(); });
    }

    int port_;
    const char *source_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

TEST(HostSeatStarving, PlayersFromAnotherAddressAreSeatedWithinFiveSecondsWhateverOneAddressDoes)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0) << host.log().constData();
    // 45 strangers from one address, and two from each of four others: together they would hold
    // every seat and the line at the door.
    std::vector<std::unique_ptr<Stranger>> strangers;
    for (int i = 0; i < 45; ++i)
        strangers.push_back(std::make_unique<Stranger>(host.port(), "127.0.0.1"));
    for (const char *source : {"127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6"}) {
        for (int i = 0; i < 2; ++i)
            strangers.push_back(std::make_unique<Stranger>(host.port(), source));
    }
    // Long enough for them to hold every seat, to be turned away and to come back.
    testing_support::settle(2500);
    ASSERT_TRUE(host.log().contains("waits for a seat")) << host.log().right(2000).constData();

    // Players come from another address one after another, each logs in, and every other one
    // drops and comes straight back: each is seated within five seconds.
    qint64 slowestMs = 0;
    for (int n = 0; n < 12; ++n) {
        for (int visit = 0; visit < 1 + n % 2; ++visit) {
            QElapsedTimer elapsed;
            elapsed.start();
            RawClient player(host.port(), "127.0.0.2");
            const std::optional<QByteArray> answer = player.next(10000);
            ASSERT_TRUE(answer && answer->startsWith("CMD_sendlogininfo+")) << (answer ? answer->constData() : "nothing");
            slowestMs = std::max(slowestMs, elapsed.elapsed());
            const QByteArray seat = answer->mid(18);
            const QByteArray name = "P" + QByteArray::number(n);
            player.send("CMD_logininfo+" + seat + "+1.0.4+" + name + T + T);
            EXPECT_EQ(player.next(), "CMD_newplayerinfo+" + seat + '+' + name);
        }
    }
    RecordProperty("slowestSeatingMs", int(slowestMs));
    EXPECT_LT(slowestMs, 5000);

    // A player keeps the seat while the strangers go on.
    RawClient player(host.port(), "127.0.0.2");
    const std::optional<QByteArray> answer = player.next(10000);
    ASSERT_TRUE(answer && answer->startsWith("CMD_sendlogininfo+"));
    player.send("CMD_logininfo+" + answer->mid(18) + "+1.0.4+Ann" + T + T);
    int before = 0;
    for (const auto &stranger : strangers)
        before += stranger->connections;
    EXPECT_FALSE(player.closedByPeer(3000));
    int after = 0;
    for (const auto &stranger : strangers)
        after += stranger->connections;
    EXPECT_GT(after, before + 1000);
    // Thousands of connections refused or closed: the log says each kind about an address once.
    const qsizetype lines = host.log().count('\n');
    RecordProperty("logLines", int(lines));
    RecordProperty("strangerConnections", after);
    EXPECT_LT(lines, 150) << host.log().right(3000).constData();
}
