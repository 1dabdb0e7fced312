// A host engine driven by connections that send anything at all, while its dispatcher's clock,
// phase clock and login clock run. The input is a little program, one step after another:
//
//   step byte % 9   what it does (argument bytes follow the step byte)
//   0               a new connection
//   1 c n bytes     connection c sends the n bytes
//   2 c k f         connection c sends k KiB of the byte f (long messages from short inputs)
//   3 c             connection c hangs up
//   4 t             the dispatcher's clock moves on (t + 1) * 5 ms
//   5 t             t + 1 seconds of the phase clock
//   6 t             t % 64 + 1 seconds of the login clock
//   7 c             connection c logs in properly, with the seat it was given
//   8 c             connection c submits the source word of the word it is on
//
// Everything the host sends must be something a client takes: a message no longer than a client
// accepts, with a verb a client handles and data that its layout reads. Nothing may be sent to a
// connection after it closed, and once the connections fall silent every message received is
// handled within the time a full backlog takes at its pace. The clocks run a bounded time per
// input (a few rounds of a short game), so that the fuzzer does not spend its time replaying long
// games.

#include "dictionary/tdictn.h"
#include "engine/tserver.h"
#include "net/link.h"
#include "protocol/messages.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

template <class... M>
bool readsAsOneOf(const QByteArray &verb, const QByteArray &data)
{
    return ((verb == M::verb && msg::decode<M>(data).has_value()) || ...);
}

bool aClientTakes(const QByteArray &line)
{
    const proto::VerbAndData message = proto::splitVerb(line);
    using namespace msg;
    return line.size() <= proto::kMaxMessageBytes
        && readsAsOneOf<SendLoginInfo, Full, NewPlayerInfo, ExistingPlayers, HaveWrongVersion, WrongVersion,
                        PlayerDisconnected, JustWatching, Chat, Action, PlayASound, StartGame, GameStarted, StartRound,
                        NextPlayer, NewWord, AllFilled, Invalid, HisCount, AllDone, TimeUp, PostScores, Winner,
                        LoadStats, SeatKey, ReclaimSeat, HostEnding>(message.verb, message.data);
}

class FuzzLink : public Link
{
public:
    void send(const QByteArray &bytes) override
    {
        require(!closed_);
        const QList<QByteArray> lines = cutter_.feed(bytes);
        require(!cutter_.overflowed());
        for (const QByteArray &line : lines) {
            require(aClientTakes(line));
            const proto::VerbAndData message = proto::splitVerb(line);
            if (message.verb == msg::SendLoginInfo::verb)
                seat = msg::decode<msg::SendLoginInfo>(message.data)->seat;
            if (message.verb == msg::SeatKey::verb)
                key = *msg::decode<msg::SeatKey>(message.data);
        }
    }
    void close() override
    {
        closed_ = true;
        emit closed();
    }
    bool isClosed() const { return closed_; }

    int seat = 0;
    msg::SeatKey key; // the last one the host gave

private:
    proto::StreamCutter cutter_;
    bool closed_ = false;
};

struct Reader {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t at = 0;
    bool more() const { return at < size; }
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    QByteArray bytes(std::size_t n)
    {
        n = std::min(n, size - at);
        QByteArray taken(reinterpret_cast<const char *>(data + at), qsizetype(n));
        at += n;
        return taken;
    }
};

std::shared_ptr<const TDictn> dictionary;

QByteArray submission(int seat, const QByteArray &word)
{
    msg::MyWord m {seat, {}};
    for (int i = 0; i < proto::kWordLength && i < word.size(); ++i)
        m.codes[size_t(i)] = word.at(i) - 'a' + 1;
    return msg::encode(m);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    // The word list file is written once, in a folder of its own.
    dictionary = std::make_shared<TDictn>(QDir::tempPath());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TServer host(dictionary);
    host.seedRandom(1);
    host.setManualClock(true);
    host.setManualDispatch(true);
    std::vector<FuzzLink *> links; // owned by the host, or already destroyed when refused

    Reader in {data, size};
    int dispatcherSteps = 8000; // of 5 ms
    int phaseSeconds = 600;
    int loginSeconds = 200;
    const auto pick = [&]() -> FuzzLink * {
        const std::uint8_t c = in.byte();
        return links.empty() ? nullptr : links[c % links.size()];
    };
    while (in.more()) {
        switch (in.byte() % 10) {
        case 0: {
            auto link = std::make_unique<FuzzLink>();
            FuzzLink *raw = link.get();
            if (links.size() < 24 && host.seatConnection(std::move(link)) != 0)
                links.push_back(raw);
            break;
        }
        case 1: {
            FuzzLink *link = pick();
            const QByteArray bytes = in.bytes(in.byte());
            if (link && !link->isClosed())
                emit link->received(bytes);
            break;
        }
        case 2: {
            FuzzLink *link = pick();
            const int kib = in.byte() % 80;
            const char fill = char(in.byte());
            if (link && !link->isClosed())
                emit link->received(QByteArray(kib * 1024, fill));
            break;
        }
        case 3:
            if (FuzzLink *link = pick(); link && !link->isClosed())
                emit link->peerClosed();
            break;
        case 4:
            for (int t = in.byte(); t >= 0 && dispatcherSteps > 0; --t, --dispatcherSteps)
                host.advanceDispatchClock(std::chrono::milliseconds(5));
            break;
        case 5:
            for (int t = in.byte(); t >= 0 && phaseSeconds > 0; --t, --phaseSeconds)
                host.timer1Timer();
            break;
        case 6:
            for (int t = in.byte() % 64; t >= 0 && loginSeconds > 0; --t, --loginSeconds)
                host.logintimerTimer();
            break;
        case 7:
            if (FuzzLink *link = pick(); link && !link->isClosed())
                emit link->received(msg::encode(msg::LoginInfo {link->seat, proto::kVersion, "P"}));
            break;
        case 8: {
            // A player comes back on a new connection with the key of a seat it held, before or
            // after its old connection ended.
            FuzzLink *holder = pick();
            auto link = std::make_unique<FuzzLink>();
            FuzzLink *raw = link.get();
            if (!holder || holder->key.key.isEmpty() || links.size() >= 24)
                break;
            if (host.seatConnection(std::move(link)) != 0 || !raw->isClosed())
                links.push_back(raw);
            if (!raw->isClosed())
                emit raw->received(msg::encode(msg::ReclaimSeat {holder->key.seat, holder->key.key}));
            break;
        }
        default:
            if (FuzzLink *link = pick(); link && !link->isClosed() && proto::isPlayerSeat(link->seat)) {
                const int round = std::clamp(host.roundNumber(), 1, TServer::kDealtRounds);
                const int word = std::clamp(host.seat(link->seat).currentWord, 1, proto::kWordsPerRound);
                emit link->received(submission(link->seat, host.puzzle(round, word).source));
            }
            break;
        }
        require(host.seatCount() <= proto::kLastSeat);
    }
    host.advanceDispatchClock((TServer::kMaxQueuedPerConnection + 1) * TServer::kPace);
    require(host.queuedMessages() == 0);
    // Connections that a newcomer replaced in their seat were handed to the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
