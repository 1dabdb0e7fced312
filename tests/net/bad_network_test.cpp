// Games on a network that misbehaves, inside a network namespace of the test's own (see
// in_private_network.sh), with nftables rules of its own: a connection whose packets vanish while
// the host still sends to it, and a tenth of every packet lost for a whole game. Real windows and
// a real vrel-host process; the figures measured are printed as FIGURE lines.

#include "tests/client/game_fixture.h"

#include "rejoin/rejoiner.h"
#include "tests/support/host_process.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

using testing_support::HostProcess;
using testing_support::RawClient;
using testing_support::settle;
using testing_support::waitUntil;

namespace {

// A table of nftables rules that drop packets arriving in this namespace (loopback included),
// removed with the object.
class Firewall
{
public:
    Firewall()
    {
        ok_ = nft(QStringLiteral("add table inet vrel_test"))
              && nft(QStringLiteral("add chain inet vrel_test input { type filter hook input priority 0 ; }"));
    }
    ~Firewall() { nft(QStringLiteral("delete table inet vrel_test")); }
    bool ok() const { return ok_; }
    bool drop(const QString &match)
    {
        return nft(QStringLiteral("add rule inet vrel_test input ") + match + QStringLiteral(" counter drop"));
    }
    // The packets the rules dropped so far.
    qint64 dropped() const
    {
        QProcess list;
        list.start(QStringLiteral("nft"), {QStringLiteral("list table inet vrel_test")});
        list.waitForFinished(5000);
        qint64 packets = 0;
        static const QRegularExpression counter(QStringLiteral("counter packets (\\d+)"));
        for (auto match = counter.globalMatch(QString::fromUtf8(list.readAllStandardOutput())); match.hasNext();)
            packets += match.next().captured(1).toLongLong();
        return packets;
    }

private:
    static bool nft(const QString &command) { return QProcess::execute(QStringLiteral("nft"), {command}) == 0; }
    bool ok_ = false;
};

// The port a seat's connection comes from, as the host logged it when the connection logged in.
int peerPortOf(HostProcess &host, int seat)
{
    const QRegularExpression accepted(QStringLiteral("seat %1: .* logged in from \\S+ port (\\d+)").arg(seat));
    int port = 0;
    for (auto match = accepted.globalMatch(QString::fromUtf8(host.log())); match.hasNext();)
        port = match.next().captured(1).toInt();
    return port;
}

} // namespace

class BadNetwork : public GameFixture
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(qgetenv("VREL_IN_PRIVATE_NETWORK"), "1") << "run this program through in_private_network.sh";
        ASSERT_TRUE(firewall.ok()) << "nft cannot make a table here";
        ASSERT_GT(host.port(), 0);
    }

    std::unique_ptr<VrelProgram> joinAt(const QString &name, int seat)
    {
        auto program = launch({name, QStringLiteral("127.0.0.1"), QStringLiteral("x")}, host.port());
        EXPECT_TRUE(waitUntil([&] { return program->session().localSeat() == seat && rowName(*program, seat) == name; }, 20000));
        return program;
    }

    HostProcess host;
    Firewall firewall;
};

// Both ends notice within half a minute a path that died without a word: the window comes back to
// its own seat with its words, and the host, which kept sending to it, ends the old connection.
TEST_F(BadNetwork, AConnectionWhosePathDiesSilentlyIsNoticedOnBothEndsAndTheWindowIsBackWithin40Seconds)
{
    auto ann = joinAt(QStringLiteral("Ann"), 1);
    auto bob = joinAt(QStringLiteral("Bob"), 2);
    auto cy = joinRaw(host.port(), "Cy"); // seat 3: a player whose path dies and who never comes back
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 3) == "Cy"; }));
    startGame(*ann, 1, 120);
    fillWords(*bob, 3);
    const BoardState before = bob->session().board();

    for (const int seat : {2, 3}) {
        const int port = peerPortOf(host, seat);
        ASSERT_GT(port, 0) << host.log().constData();
        ASSERT_TRUE(firewall.drop(QStringLiteral("tcp sport %1").arg(port)));
        ASSERT_TRUE(firewall.drop(QStringLiteral("tcp dport %1").arg(port)));
    }
    QElapsedTimer dead;
    dead.start();
    // The host keeps sending to both: Ann chats every second.
    QTimer chatter;
    int said = 0;
    QObject::connect(&chatter, &QTimer::timeout, [&] { ann->session().sendit(QStringLiteral("anyone there %1").arg(++said)); });
    chatter.start(1000);

    qint64 seatedAt = -1;
    qint64 hostNoticedAt = -1; // Cy's dead path, which only the host can notice
    ASSERT_TRUE(waitUntil(
        [&] {
            if (seatedAt < 0 && chatLines(*bob).contains("Rejoined.") && bob->session().ownsBoard())
                seatedAt = dead.elapsed();
            if (hostNoticedAt < 0 && host.log().contains("seat 3: \"Cy\" left"))
                hostNoticedAt = dead.elapsed();
            return seatedAt >= 0 && hostNoticedAt >= 0;
        },
        45000))
        << host.log().constData();
    chatter.stop();
    std::printf("FIGURE dead path to seated again: %lld ms\n", static_cast<long long>(seatedAt));
    std::printf("FIGURE dead path noticed by the host: %lld ms\n", static_cast<long long>(hostNoticedAt));
    EXPECT_LT(seatedAt, 40000);
    EXPECT_LT(hostNoticedAt, 40000);
    EXPECT_GT(firewall.dropped(), 0);
    EXPECT_TRUE(chatLines(*bob).contains("Connection lost. Rejoining..."));
    EXPECT_EQ(bob->session().localSeat(), 2);
    EXPECT_EQ(rowName(*ann, 2), "Bob");
    EXPECT_EQ(bob->session().seat(2).wordCount.value_or(-1), 3);
    EXPECT_EQ(bob->session().board().words, before.words);
    EXPECT_EQ(bob->session().board().captionWord, 4);
    // Bob's old connection is over at the host: it noticed itself, or Bob's key took the seat over.
    const QByteArray log = host.log();
    EXPECT_TRUE(log.contains("seat 2: \"Bob\" left") || log.contains("seat 2: the old connection of \"Bob\" is closed")) << log.constData();
    EXPECT_TRUE(log.contains("seat 3: kept for \"Cy\"")) << log.constData();

    fillWords(*bob, 1);
    ASSERT_TRUE(waitUntil([&] { return ann->session().seat(2).wordCount.value_or(-1) == 4; }));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

// A tenth of every packet, both ways, is lost for a whole game of two rounds: it completes, every
// word typed is counted, and nobody drops.
TEST_F(BadNetwork, ATwoRoundGameCompletesWithEveryWordCountedWhenATenthOfThePacketsIsLost)
{
    for (const char *way : {"sport", "dport"})
        ASSERT_TRUE(firewall.drop(QStringLiteral("tcp %1 %2 numgen random mod 100 < 10").arg(way).arg(host.port())));
    QElapsedTimer game;
    game.start();
    auto ann = joinAt(QStringLiteral("Ann"), 1);
    auto bob = joinAt(QStringLiteral("Bob"), 2);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "Bob"; }, 20000));
    startGame(*ann, 2, 30);
    for (int round = 1; round <= 2; ++round) {
        for (VrelProgram *player : {ann.get(), bob.get()}) {
            ASSERT_TRUE(waitUntil([&] { return player->session().round() == round && player->session().ownsBoard(); }, 40000))
                << "round " << round;
            fillWords(*player, 10);
        }
        // The round's results list every word of both: none is left as its masked word.
        for (VrelProgram *player : {ann.get(), bob.get()}) {
            ASSERT_TRUE(waitUntil([&] { return player->session().results().shown; }, 20000)) << "round " << round;
            for (const int seat : {1, 2}) {
                const QStringList words = player->session().results().of(seat).words;
                EXPECT_EQ(words.size(), 10);
                EXPECT_TRUE(words.filter(QStringLiteral("_")).isEmpty()) << words.join(' ').toStdString();
            }
        }
    }
    ASSERT_TRUE(waitUntil([&] { return ann->session().winnerState().shown && bob->session().winnerState().shown; }, 60000));
    std::printf("FIGURE two-round game with 10%% loss: %lld ms, %lld packets lost\n", static_cast<long long>(game.elapsed()),
                static_cast<long long>(firewall.dropped()));
    EXPECT_GT(firewall.dropped(), 0);
    for (VrelProgram *player : {ann.get(), bob.get()}) {
        EXPECT_FALSE(chatLines(*player).contains("Connection lost. Rejoining...")) << player->session().playerName().toStdString();
        EXPECT_EQ(player->session().seat(1).score, ann->session().seat(1).score);
        EXPECT_EQ(player->session().seat(2).score, bob->session().seat(2).score);
    }
    // Ten words a round, each worth at least 5, the full list 25 more.
    for (VrelProgram *player : {ann.get(), bob.get()})
        EXPECT_GE(player->session().seat(player->session().localSeat()).score, 2 * (10 * 5 + 25));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}
