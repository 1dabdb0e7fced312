#include "engine/tserver.h"

#include "dictionary/tdictn.h"
#include "dictionary/embeddedwords.h"
#include "engine/messages.h"
#include "engine/seat_link.h"
#include "engine/tsock_seat_link.h"
#include "net/error_sink.h"

#include <chrono>

namespace {

constexpr int kSocktimerMs = 10;
const char *const kDefaultNames[] = {"", "", "Klot", "Klock", "Kling", "Klick", "Krazy"};

QList<QByteArray> poolAsBytes()
{
    QList<QByteArray> words;
    for (const QString &word : loadWordPool())
        words << word.toLatin1();
    return words;
}

} // namespace

TServer::TServer(QObject *parent)
    : QObject(parent)
    , listbox_words(poolAsBytes())
    , spell(std::make_unique<TDictn>(QString(), [](const QString &text) { vrel::reportError(text); }))
    , random_(unsigned(std::chrono::system_clock::now().time_since_epoch().count()))
{
    for (int n = 1; n <= kMaxPlayers; ++n)
        seats_[size_t(n)].defaultName = kDefaultNames[n];

    Sock1.setPortName(QStringLiteral("7772"));
    Sock1.OnAccept = [this](TSock *listener) { Sock1Accept(listener); };

    receivedlist_.enqueue({});
    socktimer.setInterval(kSocktimerMs);
    connect(&socktimer, &QTimer::timeout, this, [this] { vrel::guarded([this] { socktimerTimer(); }); });
    socktimer.start();

}

TServer::~TServer()
{
    // Links go before the seat table so that no close report reaches a half-destroyed engine.
    for (Connection &connection : connections_) {
        if (connection.link)
            connection.link->disconnect(this);
    }
}

// ---------------------------------------------------------------- seating

void TServer::Sock1Accept(TSock *listener)
{
    TSock *accepted = nullptr;
    if (!listener->Accept(accepted) || !accepted)
        return;
    seatConnection(std::make_unique<TSockSeatLink>(accepted));
}

int TServer::seatConnection(std::unique_ptr<SeatLink> link)
{
    int seatNumber = 0;
    if (seatCount_ == 0) {
        seatNumber = 1;
        seatCount_ = 1;
    } else {
        int candidate = 1;
        while (candidate < seatCount_ && seats_[size_t(candidate)].inUse)
            ++candidate;
        if (!seats_[size_t(candidate)].inUse) {
            seatNumber = candidate;
        } else if (seatCount_ <= kLastSpectatorSeat - 1) {
            seatNumber = ++seatCount_;
        }
    }
    if (seatNumber == 0) {
        link->send(msg::full());
        link->disconnect(this);
        link->close();
        emit activity(QStringLiteral("refused a connection: the game is full"));
        return 0;
    }

    Connection &connection = connections_[size_t(seatNumber)];
    if (connection.link) {
        connection.link->disconnect(this);
        connection.link.release()->deleteLater();
    }
    connection.link = std::move(link);
    connection.serial = nextSerial_++;
    connection.cutter = {};
    connection.queued = 0;

    Seat &seat = seats_[size_t(seatNumber)];
    seat.inUse = true;
    seat.link = connection.link.get();
    SeatLink *raw = seat.link;
    connect(raw, &SeatLink::received, this, [this, raw](const QByteArray &bytes) { Sock1Read(raw, bytes); });
    connect(raw, &SeatLink::peerClosed, this, [this, raw] { tempsockDisconnect(raw); });
    connect(raw, &SeatLink::closed, this, [this, raw] { tempsockInfo(raw); });

    emit activity(QStringLiteral("seat %1: connection accepted").arg(seatNumber));
    sendToSeat(seatNumber, msg::sendlogininfo(seatNumber));
    return seatNumber;
}

int TServer::seatOf(const SeatLink *link) const
{
    for (int n = 1; n <= kSeatTableSize; ++n) {
        if (connections_[size_t(n)].link.get() == link)
            return n;
    }
    return 0;
}

bool TServer::isCurrent(int seatNumber, quint64 serial) const
{
    return isSeat(seatNumber) && seats_[size_t(seatNumber)].inUse
        && connections_[size_t(seatNumber)].serial == serial;
}

void TServer::Sock1Read(SeatLink *link, const QByteArray &bytes)
{
    const int seatNumber = seatOf(link);
    if (seatNumber == 0 || !seats_[size_t(seatNumber)].inUse)
        return;
    Connection &connection = connections_[size_t(seatNumber)];
    const QList<QByteArray> lines = connection.cutter.feed(bytes);
    for (const QByteArray &line : lines)
        receivedlist_.enqueue({line, seatNumber, connection.serial});
    connection.queued += int(lines.size());

    // One connection must not be able to stall everybody's game.
    if (connection.cutter.overflowed() || connection.queued > kMaxQueuedPerConnection) {
        emit activity(QStringLiteral("seat %1: closing a flooding connection").arg(seatNumber));
        link->close();
    }
}

void TServer::tempsockDisconnect(SeatLink *link)
{
    const int seatNumber = seatOf(link);
    if (seatNumber != 0 && seats_[size_t(seatNumber)].inUse)
        link->close();
}

void TServer::tempsockInfo(SeatLink *link)
{
    // Only the seat's current connection may free it: a stale connection closing late must not
    // throw out the newcomer who now holds the seat.
    const int seatNumber = seatOf(link);
    if (seatNumber == 0)
        return;
    Seat &seat = seats_[size_t(seatNumber)];
    if (seat.inUse) {
        for (int n = 1; n <= seatCount_; ++n) {
            if (n != seatNumber)
                sendToSeat(n, msg::playerdisconnected(seatNumber, seat.name));
        }
        emit activity(QStringLiteral("seat %1: %2 left").arg(seatNumber).arg(QString::fromUtf8(seat.name)));
    }
    seat.inUse = false;
    seat.name.clear();
    seat.watching = false;
}

void TServer::disconnectsock(int seatNumber)
{
    if (isSeat(seatNumber) && seats_[size_t(seatNumber)].inUse)
        seats_[size_t(seatNumber)].link->close();
}

// ---------------------------------------------------------------- sending

std::optional<int> TServer::readSeat(wire::FieldReader &fields) const
{
    const std::optional<int> seatNumber = fields.nextNumber();
    if (!seatNumber || !isSeat(*seatNumber))
        return std::nullopt;
    return seatNumber;
}

void TServer::sendToSeat(int seatNumber, const QByteArray &message)
{
    if (!isSeat(seatNumber))
        return;
    const Seat &seat = seats_[size_t(seatNumber)];
    if (seat.inUse && seat.link)
        seat.link->send(message);
}

void TServer::sendToAll(const QByteArray &message)
{
    for (int n = 1; n <= seatCount_; ++n)
        sendToSeat(n, message);
}

// ---------------------------------------------------------------- dispatch

void TServer::socktimerTimer()
{
    // Lines from a connection that has closed since are never credited to the seat's next
    // occupant; they are skipped without using up the tick.
    while (!receivedlist_.isEmpty()) {
        const Received entry = receivedlist_.dequeue();
        if (isSeat(entry.seat) && connections_[size_t(entry.seat)].serial == entry.serial)
            --connections_[size_t(entry.seat)].queued;
        if (entry.serial != 0 && !isCurrent(entry.seat, entry.serial))
            continue;
        const wire::VerbAndData message = wire::splitVerb(entry.line);
        if (!message.verb.isEmpty() && senderMayUse(message.verb, message.data, entry.seat))
            dispatch(message.verb, message.data);
        return;
    }
}

// The sender's seat field must be the seat of the connection the message came in on, so that
// no client can speak for another seat. The start of a game belongs to the hosting player's
// connection in seat 1, which may also switch any player seat to watching or back.
bool TServer::senderMayUse(const QByteArray &verb, const QByteArray &data, int from) const
{
    if (verb == "CMD_startgame")
        return from == 1;
    const std::optional<int> seatField = wire::FieldReader(data).nextNumber();
    if (!seatField || !isSeat(*seatField))
        return false;
    const int named = *seatField;
    if (verb == "CMD_justwatch")
        return named == from || (from == 1 && isPlayerSeat(named));
    return named == from;
}

void TServer::dispatch(const QByteArray &verb, const QByteArray &data)
{
    using Handler = void (TServer::*)(const QByteArray &);
    static const std::pair<const char *, Handler> table[] = {
        {"CMD_logininfo", &TServer::receivedlogininfo},
        {"CMD_kickhim", &TServer::kickhim},
        {"CMD_chat", &TServer::chat},
        {"CMD_action", &TServer::action},
        {"CMD_startgame", &TServer::startgame},
        {"CMD_justwatch", &TServer::justwatch},
        {"CMD_myword", &TServer::myword},
        {"CMD_pass", &TServer::pass},
        {"CMD_playasound", &TServer::playasound},
    };
    for (const auto &[name, handler] : table) {
        if (verb == name) {
            (this->*handler)(data);
            return;
        }
    }
}

// ---------------------------------------------------------------- login and relays

void TServer::receivedlogininfo(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> seatNumber = readSeat(fields);
    if (!seatNumber)
        return;
    const QByteArray version = fields.next();
    const QByteArray name = fields.rest();

    Seat &seat = seats_[size_t(*seatNumber)];
    seat.name = name;
    seat.inUse = true;
    emit activity(QStringLiteral("seat %1: %2 logged in").arg(*seatNumber).arg(QString::fromUtf8(name)));

    sendToAll(msg::newplayerinfo(*seatNumber, name));
    for (int n = 1; n <= seatCount_; ++n) {
        if (n != *seatNumber && seats_[size_t(n)].inUse)
            sendToSeat(*seatNumber, msg::existingplayers(n, seats_[size_t(n)].name));
    }
    if (version != msg::kVersion) {
        sendToSeat(1, msg::havewrongversion(name));
        sendToSeat(*seatNumber, msg::wrongversion());
    }
    if (gameRunning_)
        lateJoin(*seatNumber);
}

void TServer::lateJoin(int seatNumber)
{
    const Seat &seat = seats_[size_t(seatNumber)];
    // A spectator seat has no word to work on, so it is not handed one.
    if (phase_ == WordPhase && isPlayerSeat(seatNumber)) {
        sendToSeat(seatNumber, msg::newword(seatNumber, 0, seat.currentWord,
                                            puzzle(roundNumber_, seat.currentWord).masked));
    }
    msg::LoadStats stats {seatNumber, turnSeconds_, countdown_ - 4, roundsPerGame_, roundNumber_, phase_, {}};
    for (int n = 1; n <= kMaxPlayers; ++n) {
        const Seat &player = seats_[size_t(n)];
        if (player.inUse || n == 2)
            stats.seats.append({n, player.totalScore, player.filledCount});
    }
    sendToSeat(seatNumber, msg::loadstats(stats));
}

void TServer::kickhim(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> sender = fields.nextNumber();
    const std::optional<int> target = fields.nextNumber();
    if (sender != 1 || !target)
        return;
    emit activity(QStringLiteral("seat 1 removes seat %1").arg(*target));
    disconnectsock(*target);
}

void TServer::chat(const QByteArray &data)
{
    wire::FieldReader fields(data);
    if (const std::optional<int> seatNumber = readSeat(fields))
        sendToAll(msg::chatRelay(*seatNumber, seats_[size_t(*seatNumber)].name, fields.rest()));
}

void TServer::action(const QByteArray &data)
{
    wire::FieldReader fields(data);
    if (const std::optional<int> seatNumber = readSeat(fields))
        sendToAll(msg::actionRelay(*seatNumber, seats_[size_t(*seatNumber)].name, fields.rest()));
}

void TServer::playasound(const QByteArray &data)
{
    wire::FieldReader fields(data);
    if (const std::optional<int> seatNumber = readSeat(fields))
        sendToAll(msg::playasoundRelay(*seatNumber, fields.rest()));
}

void TServer::justwatch(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> seatNumber = fields.nextNumber();
    if (!seatNumber || !isPlayerSeat(*seatNumber))
        return;
    const QByteArray flag = fields.rest();
    Seat &seat = seats_[size_t(*seatNumber)];
    if (flag == "2") {
        seat.watching = false;
        sendToAll(msg::justwatching(*seatNumber, 2));
    } else if (flag == "1" && gameRunning_) {
        seat.watching = true;
        sendToAll(msg::justwatching(*seatNumber, 1));
    }
}
