#include "engine/tserver.h"

#include "dictionary/tdictn.h"
#include "engine/player_names.h"
#include "engine/player_text.h"
#include "dictionary/embeddedwords.h"
#include "net/error_sink.h"
#include "net/link.h"
#include "net/tsock_link.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <type_traits>
#include <utility>

namespace {

const char *const kDefaultNames[proto::kPlayerSeats + 1] = {"", "", "Klot", "Klock", "Kling", "Klick", "Krazy"};

// What a sender whose lines come too fast is told, once a flood (see RelayPace).
const QByteArray kTooFastNotice = "You are sending lines too fast: the others did not get your last ones.";

const QList<QByteArray> &poolAsBytes()
{
    static const QList<QByteArray> words = [] {
        QList<QByteArray> pool;
        for (const QString &word : loadWordPool())
            pool << word.toLatin1();
        return pool;
    }();
    return words;
}

} // namespace

TServer::TServer(QObject *parent)
    : TServer(std::make_shared<TDictn>(QString(), [](const QString &text) { vrel::reportError(text); }), parent)
{
}

TServer::TServer(std::shared_ptr<const TDictn> dictionary, QObject *parent)
    : QObject(parent)
    , listbox_words(poolAsBytes())
    , spell(std::move(dictionary))
    , random_(unsigned(std::chrono::system_clock::now().time_since_epoch().count()))
{
    for (int n = 1; n <= proto::kPlayerSeats; ++n)
        seats_[size_t(n)].defaultName = kDefaultNames[n];

    Sock1.setPortName(QString::number(proto::kDefaultPort));
    Sock1.SendLimit = kMaxUnsentBytes; // handed on to every accepted connection
    Sock1.NoDelay = true;              // verdicts and relays are small and wanted at once
    Sock1.KeepAlive = true;            // a player whose path died is noticed within half a minute
    Sock1.OrderlyClose = true;         // a player's last messages reach it, however it is closed
    Sock1.OnAccept = [this](TSock *listener) { Sock1Accept(listener); };
}

TServer::~TServer()
{
    // Links go before the seat table so that no close report reaches a half-destroyed engine.
    for (Connection &connection : connections_) {
        if (connection.link)
            connection.link->disconnect(this);
    }
    for (const std::unique_ptr<Link> &link : waiting_)
        link->disconnect(this);
    for (const Reclaiming &newcomer : reclaiming_)
        newcomer.link->disconnect(this);
}

// ---------------------------------------------------------------- listening and seating

quint16 TServer::listen(int port)
{
    Sock1.setPortName(QString::number(port));
    Sock1.setListen(true);
    return listeningPort();
}

quint16 TServer::adoptListener(int fd)
{
    Sock1.adoptListener(fd);
    return listeningPort();
}

bool TServer::listening() const
{
    return Sock1.Listen();
}

quint16 TServer::listeningPort() const
{
    return listening() ? Sock1.boundPort() : 0;
}

void TServer::Sock1Accept(TSock *listener)
{
    // Everything that waits is taken now, so that a burst of connections is answered at once.
    do {
        TSock *accepted = nullptr;
        if (!listener->Accept(accepted) || !accepted)
            return;
        seatConnection(std::make_unique<TSockLink>(accepted));
    } while (listener->connectionPending());
}

int TServer::freeSeat()
{
    if (seatCount_ == 0) {
        seatCount_ = 1;
        return 1;
    }
    int candidate = 1;
    while (candidate < seatCount_ && seatTaken(candidate))
        ++candidate;
    if (!seatTaken(candidate))
        return candidate;
    if (seatCount_ < proto::kLastSeat)
        return ++seatCount_;
    return 0;
}

bool TServer::hasFreeSeat() const
{
    if (seatCount_ < proto::kLastSeat)
        return true;
    for (int n = 1; n <= seatCount_; ++n) {
        if (!seatTaken(n))
            return true;
    }
    return false;
}

bool TServer::strangerHoldsASeat() const
{
    for (int n = 1; n <= seatCount_; ++n) {
        if (seats_[size_t(n)].inUse && !connections_[size_t(n)].loggedIn)
            return true;
    }
    return false;
}

bool TServer::isOwnClient(const SockAddress &peer) const
{
    return ownClientPort_ != 0 && peer.isValid() && peer.port() == ownClientPort_ && door::isLoopback(peer);
}

// The seats and places at the door that the party's connections hold before their login.
int TServer::strangersFrom(const QByteArray &party) const
{
    int strangers = 0;
    for (int n = 1; n <= seatCount_; ++n) {
        const Connection &connection = connections_[size_t(n)];
        strangers += seats_[size_t(n)].inUse && !connection.loggedIn && !connection.loginPending && !connection.own
                     && connection.party == party;
    }
    for (const std::unique_ptr<Link> &link : waiting_)
        strangers += door::partyOf(link->peerAddress()) == party;
    for (const Reclaiming &newcomer : reclaiming_)
        strangers += door::partyOf(newcomer.link->peerAddress()) == party;
    return strangers;
}

int TServer::seatConnection(std::unique_ptr<Link> link)
{
    const SockAddress peer = link->peerAddress();
    const QByteArray party = door::partyOf(peer);
    // One party cannot keep the others out however many connections it opens.
    if (!party.isEmpty() && !isOwnClient(peer) && strangersFrom(party) >= door::kStrangersPerParty) {
        refuse(std::move(link), door::Log::Kind::TooManyStrangers,
               QStringLiteral("%1 of its connections have not logged in yet").arg(door::kStrangersPerParty));
        return 0;
    }
    // Those at the door come first; a newcomer queues behind them.
    if (!waiting_.empty() || !hasFreeSeat()) {
        if (strangerHoldsASeat()) {
            if (int(waiting_.size()) < kMaxWaiting)
                waitAtTheDoor(std::move(link));
            else
                refuse(std::move(link));
        } else if (reservations_.anyKey() && int(reclaiming_.size()) < kMaxWaiting) {
            awaitReclaim(std::move(link));
        } else {
            refuse(std::move(link));
        }
        return 0;
    }
    return takeSeat(std::move(link));
}

int TServer::takeSeat(std::unique_ptr<Link> link, int seat)
{
    const int seatNumber = seat != 0 ? seat : freeSeat();

    Connection &connection = connections_[size_t(seatNumber)];
    const quint64 standing = seat != 0 ? standingKept(seat) : 0;
    if (connection.link) {
        connection.link->disconnect(this);
        connection.link.release()->deleteLater();
    }
    connection.link = std::move(link);
    forgetReceived(connection);
    const SockAddress peer = connection.link->peerAddress();
    connection.loggedIn = false;
    connection.loginPending = false;
    connection.loginSent = false;
    connection.ticksWithoutLogin = 0;
    connection.address = door::where(peer);
    connection.party = door::partyOf(peer);
    connection.own = isOwnClient(peer);
    connection.seniority = standing;
    connection.leftAfterLogins.reset();
    connection.pace = RelayPace();
    connection.nextTurn = DrivableTimer::Duration::min();
    if (!logintimer_.running())
        logintimer_.start();

    Seat &taken = seats_[size_t(seatNumber)];
    taken.inUse = true;
    taken.link = connection.link.get();
    Link *raw = taken.link;
    connect(raw, &Link::received, this, [this, raw](const QByteArray &bytes) { Sock1Read(raw, bytes); });
    connect(raw, &Link::peerClosed, this, [this, raw] { tempsockDisconnect(raw); });
    connect(raw, &Link::closed, this, [this, raw] { tempsockInfo(raw); });

    say(door::Log::Kind::Accepted, connection.party,
        QStringLiteral("seat %1: connection accepted from %2").arg(seatNumber).arg(connection.address));
    // The only message a connection gets before it has logged in.
    raw->send(msg::encode(msg::SendLoginInfo {seatNumber}));
    return seatNumber;
}

void TServer::refuse(std::unique_ptr<Link> link, door::Log::Kind kind, const QString &why)
{
    const SockAddress peer = link->peerAddress();
    link->disconnect(this);
    link->send(msg::encode(msg::Full {}));
    link->close();
    link.release()->deleteLater(); // it may be reporting to others still
    say(kind, door::partyOf(peer),
        QStringLiteral("refused a connection from %1: %2").arg(door::where(peer), why.isEmpty() ? QStringLiteral("the game is full") : why));
}

void TServer::say(door::Log::Kind kind, const QByteArray &party, const QString &text)
{
    const QString line = doorLog_.line(kind, party, text, now());
    if (!line.isEmpty())
        emit activity(line);
}

void TServer::waitAtTheDoor(std::unique_ptr<Link> link)
{
    Link *raw = link.get();
    // Nothing it sends counts before it has a seat; a client sends nothing before it is told one.
    auto leave = [this, raw] {
        const auto at = std::find_if(waiting_.begin(), waiting_.end(), [raw](const auto &w) { return w.get() == raw; });
        if (at == waiting_.end())
            return;
        at->release()->deleteLater();
        waiting_.erase(at);
    };
    connect(raw, &Link::peerClosed, this, [raw] { raw->close(); });
    connect(raw, &Link::closed, this, leave);
    const SockAddress peer = link->peerAddress();
    waiting_.push_back(std::move(link));
    say(door::Log::Kind::Waiting, door::partyOf(peer),
        QStringLiteral("a connection from %1 waits for a seat held by one that has not logged in").arg(door::where(peer)));
}

// Hands free seats to those at the door, first comer first, and tells them the game is full
// once every seat is held by a player who has logged in.
void TServer::serveTheDoor()
{
    while (!waiting_.empty()) {
        const bool free = hasFreeSeat();
        if (!free && strangerHoldsASeat())
            return;
        std::unique_ptr<Link> first = std::move(waiting_.front());
        waiting_.pop_front();
        first->disconnect(this);
        if (free)
            takeSeat(std::move(first));
        else
            refuse(std::move(first));
    }
}

// The longest-waiting strangers give their seats to those at the door, one for each.
void TServer::makeRoomForTheWaiting()
{
    while (!waiting_.empty()) {
        int oldest = 0;
        for (int n = 1; n <= seatCount_; ++n) {
            const Connection &connection = connections_[size_t(n)];
            if (seats_[size_t(n)].inUse && !connection.loggedIn
                && connection.ticksWithoutLogin >= kContestedLoginTicks
                && (oldest == 0 || connection.ticksWithoutLogin > connections_[size_t(oldest)].ticksWithoutLogin))
                oldest = n;
        }
        if (oldest == 0)
            return;
        Connection &connection = connections_[size_t(oldest)];
        say(door::Log::Kind::GaveWay, connection.party,
            QStringLiteral("seat %1: closing a connection from %2 that did not log in, for one waiting")
                .arg(oldest)
                .arg(connection.address));
        connection.link->close(); // frees the seat, which goes to the door
    }
}

int TServer::seatOf(const Link *link) const
{
    for (int n = 1; n <= kSeatTableSize; ++n) {
        if (connections_[size_t(n)].link.get() == link)
            return n;
    }
    return 0;
}

void TServer::forgetReceived(Connection &connection)
{
    connection.cutter = proto::StreamCutter(proto::StreamCutter::Overlong::Dropped);
    connection.received = {};
    connection.receivedBytes = 0;
}

void TServer::Sock1Read(Link *link, const QByteArray &bytes)
{
    const int seatNumber = seatOf(link);
    if (seatNumber == 0 || !seats_[size_t(seatNumber)].inUse)
        return;
    Connection &connection = connections_[size_t(seatNumber)];
    const int droppedBefore = connection.cutter.droppedMessages();
    static const QByteArray login = QByteArray(msg::LoginInfo::verb) + proto::kSeparator;
    const DrivableTimer::Duration now = socktimer.now();
    for (const QByteArray &line : connection.cutter.feed(bytes)) {
        connection.received.enqueue({line, ++arrivals_, now});
        connection.receivedBytes += line.size();
        if (!connection.loginSent && line.startsWith(login))
            connection.loginPending = connection.loginSent = true;
    }
    if (!connection.received.isEmpty())
        wakeDispatcherFor(connection);
    if (connection.cutter.droppedMessages() > droppedBefore) {
        say(door::Log::Kind::Overlong, connection.party,
            QStringLiteral("seat %1: dropped a message longer than %2 bytes from %3")
                .arg(seatNumber)
                .arg(proto::kMaxMessageBytes)
                .arg(connection.address));
    }

    // A connection that sends faster than its turns come round is flooding; its backlog is
    // bounded so that it cannot take the host's memory.
    if (connection.received.size() > kMaxQueuedPerConnection
        || connection.receivedBytes > kMaxQueuedBytesPerConnection) {
        say(door::Log::Kind::Flooding, connection.party,
            QStringLiteral("seat %1: closing a flooding connection from %2").arg(seatNumber).arg(connection.address));
        link->close();
    }
}

int TServer::queuedMessages() const
{
    int queued = 0;
    for (const Connection &connection : connections_)
        queued += int(connection.received.size());
    return queued;
}

void TServer::tempsockDisconnect(Link *link)
{
    const int seatNumber = seatOf(link);
    if (seatNumber != 0 && seats_[size_t(seatNumber)].inUse)
        link->close();
}

void TServer::tempsockInfo(Link *link)
{
    // Only the seat's current connection may free it: a stale connection closing late must not
    // throw out the newcomer who now holds the seat.
    const int seatNumber = seatOf(link);
    if (seatNumber == 0)
        return;
    Seat &seat = seats_[size_t(seatNumber)];
    // A connection that never logged in was never announced, and leaves without a word.
    if (seat.inUse && connections_[size_t(seatNumber)].loggedIn && !ending_) {
        for (int n = 1; n <= seatCount_; ++n) {
            if (n != seatNumber)
                sendToSeat(n, msg::encode(msg::PlayerDisconnected {seatNumber, seat.name}));
        }
        emit activity(QStringLiteral("seat %1: %2 left").arg(seatNumber).arg(playertext::forLog(seat.name)));
        connections_[size_t(seatNumber)].leftAfterLogins = logins_;
    }
    if (seat.inUse)
        keepOrForget(seatNumber);
    seat.inUse = false;
    seat.name.clear();
    seat.watching = false;
    // What the connection sent and nobody handled yet goes with it.
    forgetReceived(connections_[size_t(seatNumber)]);
    connections_[size_t(seatNumber)].loggedIn = false;
    serveTheDoor();
}

void TServer::logintimerTimer()
{
    for (int n = 1; n <= kSeatTableSize; ++n) {
        Connection &connection = connections_[size_t(n)];
        if (!seats_[size_t(n)].inUse || connection.loggedIn || ++connection.ticksWithoutLogin < kLoginSeconds * kLoginTicksPerSecond)
            continue;
        say(door::Log::Kind::NoLogin, connection.party,
            QStringLiteral("seat %1: closing a connection from %2 that did not log in").arg(n).arg(connection.address));
        connection.link->close();
    }
    makeRoomForTheWaiting();
    ageReclaims();
    if (!reclaiming_.empty())
        return;
    for (int n = 1; n <= kSeatTableSize; ++n) {
        if (seats_[size_t(n)].inUse && !connections_[size_t(n)].loggedIn)
            return;
    }
    logintimer_.stop();
}

void TServer::disconnectsock(int seatNumber)
{
    if (!inSeatTable(seatNumber) || !seats_[size_t(seatNumber)].inUse)
        return;
    // The removed player hears its own departure first: its window knows it was removed and does
    // not come back, however the connection's end reaches it. Its key opens nothing any more.
    reservations_.forget(seatNumber);
    sendToSeat(seatNumber, msg::encode(msg::PlayerDisconnected {seatNumber, seats_[size_t(seatNumber)].name}));
    seats_[size_t(seatNumber)].link->close();
}

int TServer::starterSeat() const
{
    for (const int n : seatsBySeniority()) {
        if (ownClientPort_ != 0 ? connections_[size_t(n)].own : proto::isPlayerSeat(n))
            return n;
    }
    return 0;
}

void TServer::setOwnClient(const SockAddress &clientAddress)
{
    ownClientPort_ = clientAddress.isValid() ? clientAddress.port() : 0;
}

QList<int> TServer::seatsBySeniority() const
{
    QList<int> order;
    for (int n = 1; n <= seatCount_; ++n) {
        if (loggedIn(n))
            order << n;
    }
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const Connection &first = connections_[size_t(a)];
        const Connection &second = connections_[size_t(b)];
        return std::pair(!first.own, first.seniority) < std::pair(!second.own, second.seniority);
    });
    return order;
}

// ---------------------------------------------------------------- sending

void TServer::sendToSeat(int seatNumber, const QByteArray &message)
{
    if (!inSeatTable(seatNumber))
        return;
    // No client takes a longer message: it would end the connection of everybody it went to.
    if (message.size() > proto::kMaxMessageBytes + 1) {
        emit activity(QStringLiteral("seat %1: a message of %2 bytes was not sent").arg(seatNumber).arg(message.size()));
        return;
    }
    if (loggedIn(seatNumber) && seats_[size_t(seatNumber)].link)
        seats_[size_t(seatNumber)].link->send(message);
}

void TServer::sendToAll(const QByteArray &message)
{
    for (int n = 1; n <= seatCount_; ++n)
        sendToSeat(n, message);
}

// ---------------------------------------------------------------- dispatch

// When a connection's next message may be handled: as it arrives, but a pace after the last.
DrivableTimer::Duration TServer::turnOf(const Connection &connection) const
{
    return std::max(connection.received.head().at, connection.nextTurn);
}

// Wakes the dispatcher for the turn of a connection's next message, unless it is due sooner.
// Nothing is handled inside the read itself.
void TServer::wakeDispatcherFor(const Connection &connection)
{
    if (messagesPerTick_ > 0) {
        // The former rule: an idle dispatcher starts again, its first tick a whole pace away.
        if (!socktimer.running())
            socktimer.start();
        return;
    }
    const DrivableTimer::Duration now = socktimer.now();
    const DrivableTimer::Duration turn = std::max(turnOf(connection), now);
    if (!socktimer.running() || turn < socktimer.due())
        socktimer.startOnce(turn - now);
}

void TServer::socktimerTimer()
{
    if (messagesPerTick_ > 0) {
        handleATick();
        return;
    }
    const DrivableTimer::Duration now = socktimer.now();
    while (const int seat = nextToHandle(now)) {
        connections_[size_t(seat)].nextTurn = now + kPace;
        handle(seat);
    }
    // The next turn to come; a message whose turn has come and that still waits waits for an
    // earlier one of another connection, handled at its own turn.
    DrivableTimer::Duration next = DrivableTimer::Duration::max();
    for (const Connection &connection : connections_) {
        if (!connection.received.isEmpty() && turnOf(connection) > now)
            next = std::min(next, turnOf(connection));
    }
    if (next == DrivableTimer::Duration::max())
        socktimer.stop();
    else
        socktimer.startOnce(next - now);
}

// The connection whose message is handled next, 0 for none now. Messages are taken in the order
// they arrived over all connections, each connection's in its turn. A message whose turn has come
// still waits for an earlier message of another connection whose turn comes within a pace of its
// own arrival: so of two players' words the earlier is handled first, and a connection sending
// faster than its pace delays another's message by a pace at most. The line left by a login's
// second terminator is dropped at once and takes no turn.
int TServer::nextToHandle(DrivableTimer::Duration now)
{
    for (Connection &connection : connections_) {
        while (!connection.received.isEmpty() && connection.received.head().line.isEmpty())
            connection.received.dequeue();
    }
    DrivableTimer::Duration earliestWaitingTurn = DrivableTimer::Duration::max();
    for (const int seat : seatsByArrival()) {
        const Connection &connection = connections_[size_t(seat)];
        if (earliestWaitingTurn - kPace <= connection.received.head().at)
            return 0;
        const DrivableTimer::Duration turn = turnOf(connection);
        if (turn <= now)
            return seat;
        earliestWaitingTurn = std::min(earliestWaitingTurn, turn);
    }
    return 0;
}

// The seats with messages waiting, the one whose next message arrived first first.
QVarLengthArray<int, TServer::kSeatTableSize> TServer::seatsByArrival() const
{
    QVarLengthArray<int, kSeatTableSize> seats;
    for (int n = 1; n <= kSeatTableSize; ++n) {
        if (!connections_[size_t(n)].received.isEmpty())
            seats.append(n);
    }
    std::sort(seats.begin(), seats.end(), [this](int a, int b) {
        return connections_[size_t(a)].received.head().arrival < connections_[size_t(b)].received.head().arrival;
    });
    return seats;
}

void TServer::handle(int seat)
{
    Connection &connection = connections_[size_t(seat)];
    const Received message = connection.received.dequeue();
    connection.receivedBytes -= message.line.size();
    const proto::VerbAndData parts = proto::splitVerb(message.line);
    if (!parts.verb.isEmpty())
        dispatch(parts.verb, parts.data, seat);
    // Only its first login spares a connection the door's count, and only until it is handled.
    if (parts.verb == msg::LoginInfo::verb)
        connection.loginPending = false;
}

// The former rule: the next message of at most messagesPerTick_ connections a tick, the earliest
// arrivals first.
void TServer::handleATick()
{
    struct Head {
        int seat;
        quint64 arrival;
    };
    QVarLengthArray<Head, kSeatTableSize> heads;
    for (const int seat : seatsByArrival()) {
        if (heads.size() < messagesPerTick_)
            heads.append({seat, connections_[size_t(seat)].received.head().arrival});
    }
    for (const Head &head : heads) {
        const Connection &connection = connections_[size_t(head.seat)];
        // A handler before it may have closed this connection.
        if (!connection.received.isEmpty() && connection.received.head().arrival == head.arrival)
            handle(head.seat);
    }
    if (queuedMessages() == 0)
        socktimer.stop();
}

// The sender's seat field must be the seat of the connection the message came in on, so that
// no client can speak for another seat. The start of a game belongs to the starter (see
// starterSeat), between games: a start while a game runs would wipe every score. The starter may
// also switch any player seat to watching or back.
template <class M>
bool TServer::senderMayUse(const M &message, int from) const
{
    if constexpr (std::is_same_v<M, msg::StartGame>)
        return from == starterSeat() && !gameRunning_;
    else if constexpr (std::is_same_v<M, msg::ReclaimSeat>)
        return true; // it names the seat claimed; the key decides
    else if constexpr (std::is_same_v<M, msg::JustWatch>)
        return message.seat == from || (from == starterSeat() && proto::isPlayerSeat(message.seat));
    else
        return message.seat == from;
}

// A message that does not fit its layout is dropped like one from the wrong seat.
template <class M, void (TServer::*handler)(const M &)>
void TServer::decodeAndHandle(const QByteArray &data, int from)
{
    const std::optional<M> message = msg::decode<M>(data);
    if (message && senderMayUse(*message, from))
        (this->*handler)(*message);
}

void TServer::dispatch(const QByteArray &verb, const QByteArray &data, int from)
{
    using Handler = void (TServer::*)(const QByteArray &, int);
    static const std::pair<const char *, Handler> table[] = {
        {msg::LoginInfo::verb, &TServer::decodeAndHandle<msg::LoginInfo, &TServer::receivedlogininfo>},
        {msg::KickHim::verb, &TServer::decodeAndHandle<msg::KickHim, &TServer::kickhim>},
        {msg::Chat::verb, &TServer::decodeAndHandle<msg::Chat, &TServer::chat>},
        {msg::Action::verb, &TServer::decodeAndHandle<msg::Action, &TServer::action>},
        {msg::StartGame::verb, &TServer::decodeAndHandle<msg::StartGame, &TServer::startgame>},
        {msg::JustWatch::verb, &TServer::decodeAndHandle<msg::JustWatch, &TServer::justwatch>},
        {msg::MyWord::verb, &TServer::decodeAndHandle<msg::MyWord, &TServer::myword>},
        {msg::Pass::verb, &TServer::decodeAndHandle<msg::Pass, &TServer::pass>},
        {msg::PlayASound::verb, &TServer::decodeAndHandle<msg::PlayASound, &TServer::playasound>},
        {msg::ReclaimSeat::verb, &TServer::decodeAndHandle<msg::ReclaimSeat, &TServer::reclaimseat>},
    };
    // Until its login a connection may only log in, or show the key of the seat it held.
    Connection &connection = connections_[size_t(from)];
    if (!connection.loggedIn && verb != msg::LoginInfo::verb && verb != msg::ReclaimSeat::verb) {
        say(door::Log::Kind::EarlyRequest, connection.party,
            QStringLiteral("seat %1: dropped a request sent before the login from %2")
                .arg(from)
                .arg(connection.address));
        return;
    }
    for (const auto &[name, handler] : table) {
        if (verb == name) {
            sender_ = from;
            (this->*handler)(data, from);
            return;
        }
    }
}

// ---------------------------------------------------------------- login and relays

void TServer::receivedlogininfo(const msg::LoginInfo &m)
{
    Seat &seat = seats_[size_t(m.seat)];
    Connection &connection = connections_[size_t(m.seat)];
    seat.name = tableName(m.seat, m.name);
    seat.inUse = true;
    if (connection.seniority == 0)
        connection.seniority = ++logins_;
    connection.loggedIn = true;
    // Said at every login, with where it comes from: the door says a party's acceptances once a
    // minute.
    emit activity(QStringLiteral("seat %1: %2 logged in from %3")
                      .arg(m.seat)
                      .arg(playertext::forLog(seat.name), connection.address));

    sendToAll(msg::encode(msg::NewPlayerInfo {m.seat, seat.name}));
    sendToSeat(m.seat, msg::encode(msg::SeatKey {m.seat, reservations_.newKey(m.seat)}));
    // Only those who logged in, the longest at the table first: so the newcomer's window knows who
    // starts the games as the host does.
    for (const int n : seatsBySeniority()) {
        if (n != m.seat)
            sendToSeat(m.seat, msg::encode(msg::ExistingPlayers {n, seats_[size_t(n)].name}));
    }
    if (m.version != proto::kVersion) {
        sendToSeat(1, msg::encode(msg::HaveWrongVersion {seat.name}));
        sendToSeat(m.seat, msg::encode(msg::WrongVersion {}));
    }
    if (gameRunning_)
        lateJoin(m.seat);
    // With this login every seat may be a player's: those at the door are then told so.
    serveTheDoor();
}

// The name a seat is known by: see playernames::tableName. A seat's default name stands for a
// blank one ("Player" and the number on seats without one).
QByteArray TServer::tableName(int seatNumber, const QByteArray &sent) const
{
    const QByteArray &seatDefault = seats_[size_t(seatNumber)].defaultName;
    const QString defaultName =
        seatDefault.isEmpty() ? QStringLiteral("Player %1").arg(seatNumber) : QString::fromUtf8(seatDefault);
    QStringList taken;
    for (int n = 1; n <= seatCount_; ++n) {
        if (n != seatNumber && loggedIn(n))
            taken << QString::fromUtf8(seats_[size_t(n)].name);
    }
    // Nobody comes in under the name of a player whose seat waits for it.
    for (const QByteArray &kept : reservations_.keptNames(seatNumber))
        taken << QString::fromUtf8(kept);
    return playernames::tableName(sent, defaultName, taken);
}

void TServer::lateJoin(int seatNumber)
{
    const Seat &seat = seats_[size_t(seatNumber)];
    // A spectator seat has no word to work on, so it is not handed one; a player whose list is
    // complete is told so, and the board stays closed.
    const bool inWordPhase = phase_ == proto::WordPhase && proto::isPlayerSeat(seatNumber);
    if (inWordPhase && !listComplete(seatNumber)) {
        sendToSeat(seatNumber, msg::encode(msg::NewWord {seatNumber, 0, seat.currentWord,
                                                         puzzle(roundNumber_, seat.currentWord).masked}));
    }
    const qint64 remaining = std::clamp<qint64>(countdown_ - proto::timing::kWordPhaseLeadSeconds,
                                                std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    msg::LoadStats stats {seatNumber, turnSeconds_, int(remaining), roundsPerGame_, roundNumber_, phase_, {}};
    // Seat 2 is listed even when it is free.
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        const Seat &player = seats_[size_t(n)];
        if (loggedIn(n) || n == 2)
            stats.seats.append({n, player.totalScore, player.filledCount});
    }
    sendToSeat(seatNumber, msg::encode(stats));
    // After the catch-up, which opens the board in the word phase: the board ends closed.
    if (inWordPhase && listComplete(seatNumber))
        sendToSeat(seatNumber, msg::encode(msg::AllFilled {seatNumber, std::nullopt}));
}

void TServer::kickhim(const msg::KickHim &m)
{
    if (m.seat != starterSeat())
        return;
    emit activity(QStringLiteral("seat %1 removes seat %2").arg(m.seat).arg(m.target));
    disconnectsock(m.target);
}

bool TServer::paceAllows(int seatNumber)
{
    if (!relaysPaced_)
        return true;
    Connection &connection = connections_[size_t(seatNumber)];
    const RelayPace::Verdict verdict = connection.pace.take(now());
    if (verdict == RelayPace::Verdict::DropAndTell) {
        sendToSeat(seatNumber, msg::encode(msg::Chat::fromHost(kTooFastNotice)));
        say(door::Log::Kind::TooFast, connection.party,
            QStringLiteral("seat %1: dropped lines sent too fast from %2").arg(seatNumber).arg(connection.address));
    }
    return verdict == RelayPace::Verdict::Relay;
}

void TServer::chat(const msg::Chat &m)
{
    if (!paceAllows(m.seat))
        return;
    sendToAll(msg::encode(msg::Chat::relayed(m.seat, seats_[size_t(m.seat)].name, playertext::chatText(m.text))));
}

void TServer::action(const msg::Action &m)
{
    if (!paceAllows(m.seat))
        return;
    sendToAll(msg::encode(msg::Action::relayed(m.seat, seats_[size_t(m.seat)].name, playertext::chatText(m.text))));
}

void TServer::playasound(const msg::PlayASound &m)
{
    if (!paceAllows(m.seat))
        return;
    sendToAll(msg::encode(msg::PlayASound {m.seat, playertext::cleaned(m.wave, proto::kMaxNameChars)}));
}

void TServer::justwatch(const msg::JustWatch &m)
{
    if (!proto::isPlayerSeat(m.seat))
        return;
    Seat &seat = seats_[size_t(m.seat)];
    if (m.flag == proto::PlayAgain) {
        seat.watching = false;
        sendToAll(msg::encode(msg::JustWatching {m.seat, proto::PlayAgain}));
    } else if (m.flag == proto::StartWatching && gameRunning_) {
        seat.watching = true;
        sendToAll(msg::encode(msg::JustWatching {m.seat, proto::StartWatching}));
    }
}
