#include "session/client_session.h"

#include "chat/colourtext.h"
#include "chat/phrases.h"
#include "chat/receivedchat.h"
#include "net/error_sink.h"
#include "net/esock_exception.h"
#include "net/link.h"
#include "net/tsock_link.h"
#include "net/wsa_errors.h"
#include "session/notices.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <utility>

namespace {

// How long one dispatch pass may spend on the queue before the window draws and takes input.
constexpr qint64 kDispatchBudgetMs = 10;

using Handler = void (*)(ClientSession &, const QByteArray &data);

// Reads a message's fields and hands it to its handler; a message that does not fit its layout
// is dropped without a word.
template <class M, void (ClientSession::*handle)(const M &)>
void decoded(ClientSession &session, const QByteArray &data)
{
    if (const std::optional<M> message = msg::decode<M>(data))
        (session.*handle)(*message);
}

struct Route {
    QByteArray verb;
    Handler handler;
};

// The verbs a client handles, in the order the dispatcher compares them.
const QList<Route> &routes()
{
    using S = ClientSession;
    static const QList<Route> table = {
        {msg::SendLoginInfo::verb, &decoded<msg::SendLoginInfo, &S::sendloginfo>},
        {msg::Chat::verb, &decoded<msg::Chat, &S::chatrecieved>},
        {msg::Action::verb, &decoded<msg::Action, &S::chatrecieved>},
        {msg::NewPlayerInfo::verb, &decoded<msg::NewPlayerInfo, &S::newplayerinfo>},
        {msg::HaveWrongVersion::verb, &decoded<msg::HaveWrongVersion, &S::havewrongversion>},
        {msg::WrongVersion::verb, &decoded<msg::WrongVersion, &S::wrongversion>},
        {msg::ExistingPlayers::verb, &decoded<msg::ExistingPlayers, &S::newplayerinfo>},
        {msg::PlayerDisconnected::verb, &decoded<msg::PlayerDisconnected, &S::playerdisconnected>},
        {msg::Full::verb, &decoded<msg::Full, &S::full>},
        {msg::JustWatching::verb, &decoded<msg::JustWatching, &S::justwatching>},
        {msg::GameStarted::verb, &decoded<msg::GameStarted, &S::startthegame>},
        {msg::NextPlayer::verb, &decoded<msg::NextPlayer, &S::getnextplayer>},
        {msg::Winner::verb, &decoded<msg::Winner, &S::winner>},
        {msg::StartRound::verb, &decoded<msg::StartRound, &S::startround>},
        {msg::Invalid::verb, &decoded<msg::Invalid, &S::invalid>},
        {msg::NewWord::verb, &decoded<msg::NewWord, &S::newword>},
        {msg::AllFilled::verb, &decoded<msg::AllFilled, &S::allfilled>},
        {msg::PostScores::verb, &decoded<msg::PostScores, &S::postscores>},
        {msg::HisCount::verb, &decoded<msg::HisCount, &S::hiscount>},
        {msg::TimeUp::verb, &decoded<msg::TimeUp, &S::timeup>},
        {msg::LoadStats::verb, &decoded<msg::LoadStats, &S::loadstats>},
        {msg::AllDone::verb, &decoded<msg::AllDone, &S::alldone>},
        {msg::PlayASound::verb, &decoded<msg::PlayASound, &S::playasound>},
        {msg::SeatKey::verb, &decoded<msg::SeatKey, &S::seatkey>},
        {msg::ReclaimSeat::verb, &decoded<msg::ReclaimSeat, &S::reclaimseat>},
        {msg::HostEnding::verb, &decoded<msg::HostEnding, &S::hostending>},
    };
    return table;
}

// The name a seat's disconnect line keeps quiet about. Seat 3's is "Klick", not the host's
// default name "Klock".
QString reservedName(int seat)
{
    static const char *const names[proto::kPlayerSeats] = {"", "Klot", "Klick", "Kling", "Klick", "Krazy"};
    return proto::isPlayerSeat(seat) ? QString::fromLatin1(names[seat - 1]) : QString();
}

} // namespace

ClientSession::ClientSession(QObject *parent)
    : QObject(parent)
    , Timer1(0, [this] { processsocktimer(); })
    , clock_([this] { turntimeTimer(); })
{
    // The queue starts with a line without a verb, which the first pass takes and drops.
    enqueue("receivedlist");
}

ClientSession::~ClientSession()
{
    if (link_)
        link_->disconnect(this);
}

// ---------------------------------------------------------------- the connection

void ClientSession::setPlayer(const QString &name, const QString &hostAddress)
{
    playerName_ = name;
    hostAddress_ = hostAddress;
}

void ClientSession::hostpress(int port)
{
    hostFlag_ = true;
    hostPort_ = port;
    setLink(TSockLink::connectTo(QStringLiteral("127.0.0.1"), port));
    startOffered_ = true;
    starter_ = true;
    touch(Controls);
}

void ClientSession::joinpress(int port)
{
    hostPort_ = port;
    setLink(TSockLink::connectTo(hostAddress_, port));
    startOffered_ = false;
    touch(Controls);
    emit connecting();
}

void ClientSession::leaveGame()
{
    if (link_) {
        link_->disconnect(this);
        link_->close();
        link_.reset();
    }
    tellUnsentLines();
    cutter_ = proto::StreamCutter();
    forgetReceived();
    Timer1.stop();
    connectionClosed_ = false;
    endingAfterNotice_ = false;
    localSeat_ = 0;
    connected_ = false;
    hostFlag_ = false;
    startOffered_ = false;
    phraseLockedUntil_ = DrivableTimer::Duration::min();
    toldToLeave_ = false;
    loggedInOnce_ = false;
    rejoining_ = false;
    seatKey_.clear();
    keySeat_ = 0;
    reclaimed_ = false;
    starter_ = false;
    columnOfSeat_ = {0, 1, 2, 3, 4, 5, 6};
    arrivals_.clear();
    forgetTheGame();
}

void ClientSession::forgetTheGame()
{
    setEntrySeat(0);
    sentWord_.clear();
    round_ = 0;
    phase_ = proto::NoPhase;
    justWatch_ = false;
    gameOn_ = false;
    seats_ = {};
    spectators_.clear();
    board_ = BoardState();
    clock_.reset();
    results_ = ResultsState();
    winner_ = WinnerState();
    touch(Parts::fromInt(~0));
    emit typingChanged(board_.typeInChat);
}

bool ClientSession::hostKnown() const
{
    return link_ && link_->hostKnown();
}

void ClientSession::joinOver(int port, std::unique_ptr<Link> link, const QByteArray &received)
{
    hostPort_ = port;
    setLink(std::move(link));
    startOffered_ = false;
    touch(Controls);
    sockRead(received);
}

void ClientSession::setLink(std::unique_ptr<Link> link)
{
    if (link_)
        link_->disconnect(this);
    link_ = std::move(link);
    connect(link_.get(), &Link::received, this, &ClientSession::sockRead);
    connect(link_.get(), &Link::closed, this, &ClientSession::sockInfo);
    connect(link_.get(), &Link::connectFailed, this, &ClientSession::sockFailed);
    connect(link_.get(), &Link::hostResolved, this, &ClientSession::hostResolved);
}

void ClientSession::rejoin()
{
    rejoinOver(TSockLink::connectTo(hostAddress_, hostPort_));
}

void ClientSession::rejoinOver(std::unique_ptr<Link> link)
{
    rejoining_ = true;
    connectionClosed_ = false;
    reclaimed_ = false;
    cutter_ = proto::StreamCutter();
    forgetReceived();
    setLink(std::move(link));
    // Before anything else: a host whose table is full reads it before it refuses anybody.
    if (!seatKey_.isEmpty())
        send(msg::encode(msg::ReclaimSeat {keySeat_, seatKey_}));
}

void ClientSession::dropConnection()
{
    connectionClosed_ = true;
    if (!link_)
        return;
    link_->disconnect(this);
    link_->close();
    link_.release()->deleteLater(); // it may be the one reporting now
}

void ClientSession::giveUp()
{
    rejoining_ = false;
    dropConnection();
    tellUnsentLines();
}

SockAddress ClientSession::connectedFrom() const
{
    return link_ ? link_->localAddress() : SockAddress();
}

QString ClientSession::hostAddressText() const
{
    const QString host = hostAddress_.contains(QLatin1Char(':')) ? QLatin1Char('[') + hostAddress_ + QLatin1Char(']') : hostAddress_;
    return host + QLatin1Char(':') + QString::number(hostPort_);
}

void ClientSession::sockFailed(int wsaCode)
{
    if (connectionClosed_)
        return;
    // The connection that never came about is let go quietly: it has nothing to close.
    connectionClosed_ = true;
    link_->disconnect(this);
    link_.release()->deleteLater();
    // A joining copy tells a name it cannot find as the socket channel always has.
    if (wsaCode == wsa::kHostNotFound && !rejoining_) {
        const QString notice = notices::hostNotFound(hostAddress_);
        // The chat says it in a line too, rather than go on waiting for the game.
        systemLine(notice.section(QLatin1Char('\n'), -1));
        vrel::reportError(notice);
        return;
    }
    emit connectionFailed(wsaCode);
}

void ClientSession::send(const QByteArray &message)
{
    // Messages that handlers answer while a closed session is worked off go nowhere.
    if (connectionClosed_ || !link_)
        return;
    link_->send(message);
}

void ClientSession::sockRead(const QByteArray &bytes)
{
    for (const QByteArray &line : cutter_.feed(bytes)) {
        const ChatBacklog::Verdict arrival = chatBacklog_.arrive(line, QDeadlineTimer::current().deadline());
        if (arrival.keep)
            enqueue(line);
        else if (arrival.markedSeat)
            enqueue(ChatBacklog::mark(*arrival.markedSeat));
    }
    // A host that sends an endless line, or more than this client can ever work off, is broken
    // or hostile: the session ends.
    if (cutter_.overflowed())
        endWithNotice(QStringLiteral("The host sent a message too long to read (more than %1 KB). "
                                     "The connection is closed.")
                          .arg(proto::StreamCutter::kMaxPending / 1024));
    else if (receivedlist_.size() > kMaxQueuedMessages || queuedBytes_ > kMaxQueuedBytes)
        endWithNotice(QStringLiteral("The host sends more than this game can keep up with. "
                                     "The connection is closed."));
}

void ClientSession::enqueue(const QByteArray &line)
{
    receivedlist_.enqueue(line);
    queuedBytes_ += line.size();
    wakeDispatcher();
}

void ClientSession::forgetReceived()
{
    receivedlist_.clear();
    queuedBytes_ = 0;
    chatBacklog_.clear();
}

// A pass as soon as the event loop is free: not inside the socket's read.
void ClientSession::wakeDispatcher()
{
    if (!Timer1.running())
        Timer1.startOnce(dispatchTick_);
}

void ClientSession::endWithNotice(const QString &reason)
{
    endingAfterNotice_ = true;
    connectionClosed_ = true;
    forgetReceived();
    link_->close();
    // Told from the event loop, not from inside the socket's read.
    QTimer::singleShot(0, this, [this, reason] { emit endedWithNotice(reason); });
}

void ClientSession::sockInfo()
{
    // While "Game is full" is on screen, the window closes when the player dismisses it.
    if (endingAfterNotice_ || connectionClosed_)
        return;
    // What the host said before it closed the connection is still shown ("Game is full" comes
    // right before the close), and a removal or the host's end said there is taken as said.
    connectionClosed_ = true;
    while (!receivedlist_.isEmpty() && !endingAfterNotice_ && !toldToLeave_)
        vrel::guarded([this] { processsocktimer(); });
    if (endingAfterNotice_ || toldToLeave_)
        return;
    // Any other end is a drop, however it came (an end, a reset, a timeout): a joining copy that
    // had its seat keeps its board and comes back. The hosting copy's own connection and one that
    // never logged in end the window.
    if (hostFlag_ || !loggedInOnce_) {
        emit connectionClosed();
        return;
    }
    connected_ = false;
    rejoining_ = true;
    setEntrySeat(0);
    touch(Board | Controls);
    refreshStarter();
    emit connectionLost();
}

void ClientSession::toldToLeave()
{
    toldToLeave_ = true;
    giveUp();
    connected_ = false;
    setEntrySeat(0);
    touch(Board | Controls);
    refreshStarter();
}

// ---------------------------------------------------------------- dispatching

void ClientSession::processsocktimer()
{
    QElapsedTimer spent;
    spent.start();
    while (!receivedlist_.isEmpty()) {
        const QByteArray line = receivedlist_.dequeue();
        queuedBytes_ -= line.size();
        const ChatBacklog::Verdict turn = chatBacklog_.taken(line, QDeadlineTimer::current().deadline());
        if (turn.markedSeat)
            enqueue(ChatBacklog::mark(*turn.markedSeat));
        if (turn.keep)
            dispatch(line);
        if (spent.elapsed() >= kDispatchBudgetMs)
            break;
    }
    if (receivedlist_.isEmpty())
        Timer1.stop();
    else
        Timer1.startOnce(dispatchTick_);
}

void ClientSession::dispatch(const QByteArray &line)
{
    if (const std::optional<int> seat = ChatBacklog::markedSeat(line)) {
        showHiddenLines(*seat);
        return;
    }
    const proto::VerbAndData message = proto::splitVerb(line);
    if (message.verb.isEmpty())
        return;
    for (const Route &route : routes()) {
        if (route.verb == message.verb) {
            if (route.handler)
                route.handler(*this, message.data);
            return;
        }
    }
}

const QList<QByteArray> &ClientSession::dispatchOrder()
{
    static const QList<QByteArray> verbs = [] {
        QList<QByteArray> list;
        for (const Route &route : routes())
            list << route.verb;
        return list;
    }();
    return verbs;
}

bool ClientSession::handles(const QByteArray &verb)
{
    return dispatchOrder().contains(verb);
}

// ---------------------------------------------------------------- login, arrivals, departures

void ClientSession::sendloginfo(const msg::SendLoginInfo &m)
{
    localSeat_ = m.seat;
    connected_ = true;
    loggedInOnce_ = true;
    // A seat assigned again (the host gave back the seat held before) is swapped anew.
    columnOfSeat_ = {0, 1, 2, 3, 4, 5, 6};
    if (rejoining_) {
        // The host announces everybody again, this copy's seat perhaps another one.
        for (SeatRow &seat : seats_)
            seat.occupied = false;
        // Back in its own seat, the player keeps its place among those who were there.
        if (reclaimed_)
            arrivals_.cameBack(m.seat, QDeadlineTimer::current().deadline());
        spectators_.clear();
        touch(Seats | Spectators);
        // Until the host has answered, every assignment is answered with the key first: a key
        // sent before the seat was assigned is lost on a host that let the connection wait.
        if (!seatKey_.isEmpty() && !reclaimed_)
            send(msg::encode(msg::ReclaimSeat {keySeat_, seatKey_}));
    }
    send(msg::encode(msg::LoginInfo {m.seat, proto::kVersion, playerName_.toUtf8()}));
    sortstuff(m.seat);
    touch(Controls | Results);
}

void ClientSession::newplayerinfo(const msg::NewPlayerInfo &m)
{
    announce(m.seat, QString::fromUtf8(m.name), false);
}

void ClientSession::newplayerinfo(const msg::ExistingPlayers &m)
{
    if (!m.name.isEmpty())
        announce(m.seat, QString::fromUtf8(m.name), true);
}

// A seat announced: one that was there before this client (arrivedEarlier) or one that has just
// logged in, this client's own seat included.
void ClientSession::announce(int seatNumber, const QString &name, bool arrivedEarlier)
{
    // Not back in its own seat, a player rejoining is a newcomer there.
    if (seatNumber == localSeat_ && rejoining_ && !reclaimed_)
        arrivals_.clear();
    arrivals_.arrived(seatNumber, name, arrivedEarlier, localSeat_, QDeadlineTimer::current().deadline());
    if (seatNumber == localSeat_) {
        systemLine(QStringLiteral("You are Connected."));
        if (const QString notice = notices::givenName(playerName_, name); !notice.isEmpty())
            systemLine(notice);
        if (rejoining_) {
            rejoining_ = false;
            // Without the host's answer to the key this is another game than the one left.
            const bool ownSeat = seatKey_.isEmpty() || reclaimed_;
            if (!ownSeat)
                forgetTheGame();
            emit rejoined(ownSeat);
            sendWaitingLines();
        } else {
            emit loggedIn();
        }
    } else {
        systemLine(name + QStringLiteral(" is Connected."));
        if (proto::isPlayerSeat(seatNumber))
            emit playerCameOrWent(name + QStringLiteral(" is Connected."));
    }

    if (proto::isPlayerSeat(seatNumber)) {
        SeatRow &seat = row(seatNumber);
        seat.occupied = true;
        seat.name = name;
        touch(Seats);
        refreshStarter();
    } else {
        spectators_.append({seatNumber, name});
        touch(Spectators);
        if (seatNumber == localSeat_)
            systemLine(QStringLiteral("You are spying."));
        else {
            systemLine(name + QStringLiteral(" is spying."));
            emit playerCameOrWent(name + QStringLiteral(" is spying."));
        }
    }
    playsounds(QStringLiteral("entered"));
}

void ClientSession::havewrongversion(const msg::HaveWrongVersion &m)
{
    systemLine(QString::fromUtf8(m.name) + QStringLiteral(" has a different version of the game then you."));
}

void ClientSession::wrongversion(const msg::WrongVersion &)
{
    systemLine(QStringLiteral("You have a differnt version of the game then the host."));
}

void ClientSession::playerdisconnected(const msg::PlayerDisconnected &m)
{
    // The starter's part passes on when its player leaves.
    const bool wasStarter = isStarter();
    // One who drops during a game may come back to its seat, and to its place.
    arrivals_.left(m.seat, gameOn_ && m.seat != localSeat_, QDeadlineTimer::current().deadline());
    if (proto::isPlayerSeat(m.seat)) {
        SeatRow &seat = row(m.seat);
        // The name the row showed, not the one in the message.
        if (seat.occupied && seat.name != reservedName(m.seat)) {
            systemLine(seat.name + QStringLiteral(" disconnected."));
            emit playerCameOrWent(seat.name + QStringLiteral(" disconnected."));
        }
        seat.occupied = false;
        seat.name.clear();
        seat.watching = false;
        touch(Seats);
        refreshStarter();
        if (!wasStarter && isStarter())
            systemLine(QStringLiteral("You now start the games."));
    } else {
        const Spectator leaving {m.seat, QString::fromUtf8(m.name)};
        if (spectators_.removeOne(leaving)) {
            systemLine(leaving.name + QStringLiteral(" has left."));
            emit playerCameOrWent(leaving.name + QStringLiteral(" has left."));
            touch(Spectators);
        }
    }
    // The host tells a player its own departure only when it removes it.
    if (m.seat == localSeat_ && connected_) {
        toldToLeave();
        emit removedFromGame();
    }
}

void ClientSession::hostending(const msg::HostEnding &)
{
    toldToLeave();
    emit hostEnded();
}

void ClientSession::seatkey(const msg::SeatKey &m)
{
    if (m.seat != localSeat_)
        return;
    seatKey_ = m.key;
    keySeat_ = m.seat;
}

void ClientSession::reclaimseat(const msg::ReclaimSeat &m)
{
    if (rejoining_ && m.seat == keySeat_ && m.key == seatKey_)
        reclaimed_ = true;
}

void ClientSession::full(const msg::Full &)
{
    // A rejoin that finds the table full is an attempt like any other that failed: the host
    // closes the connection, and the next attempt follows.
    if (rejoining_) {
        systemLine(QStringLiteral("The game is full; trying again."));
        return;
    }
    endingAfterNotice_ = true;
    emit gameIsFull();
}

void ClientSession::sortstuff(int seat)
{
    if (seat <= 1 || seat > proto::kPlayerSeats)
        return;
    movestuff(1, seat);
}

void ClientSession::movestuff(int fromColumn, int toColumn)
{
    std::swap(columnOfSeat_[size_t(fromColumn)], columnOfSeat_[size_t(toColumn)]);
}

int ClientSession::columnOfSeat(int seat) const
{
    return proto::isPlayerSeat(seat) ? columnOfSeat_[size_t(seat)] : 0;
}

// ---------------------------------------------------------------- chat and sounds

chat::OutgoingLine::Kind ClientSession::sendit(const QString &entryText)
{
    // A pasted line break would end a message early on the wire.
    QString text = entryText;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const chat::OutgoingLine out = chat::outgoingLine(text, connected_ || rejoining_);
    if (out.kind != chat::OutgoingLine::Kind::Chat && out.kind != chat::OutgoingLine::Kind::Action)
        return out.kind;
    if (connected_) {
        sendLine(out);
    } else {
        waitingLines_ << out;
        systemLine(QStringLiteral("Your line is sent once you are back in the game."));
    }
    return out.kind;
}

void ClientSession::sendLine(const chat::OutgoingLine &line)
{
    const QByteArray payload = (line.text + QLatin1Char('|') + chat::colourToText(options_.textColour)).toUtf8();
    if (line.kind == chat::OutgoingLine::Kind::Chat)
        send(msg::encode(msg::Chat {localSeat_, payload}));
    else
        send(msg::encode(msg::Action {localSeat_, payload}));
}

void ClientSession::sendWaitingLines()
{
    for (const chat::OutgoingLine &line : std::exchange(waitingLines_, {}))
        sendLine(line);
}

void ClientSession::tellUnsentLines()
{
    for (const chat::OutgoingLine &line : std::exchange(waitingLines_, {}))
        systemLine(QStringLiteral("Not sent: ") + line.text);
}

void ClientSession::chatrecieved(const msg::Chat &m)
{
    showChat(m.seat, m.text);
}

void ClientSession::chatrecieved(const msg::Action &m)
{
    showChat(m.seat, m.text);
}

void ClientSession::showChat(int seat, const QByteArray &text)
{
    const chat::ReceivedChat received =
        chat::readReceivedChat(QString::number(seat) + QLatin1Char('+') + QString::fromUtf8(text));
    // Seat 0 is the host's own notice: a system line, in the system's colour.
    addlinetochat(received.line, seat == 0 ? chat::SystemLineColour : received.colour);
}

void ClientSession::showHiddenLines(int seatNumber)
{
    const int hidden = chatBacklog_.takeHidden(seatNumber);
    if (hidden == 0)
        return;
    QString speaker;
    if (seatNumber == 0)
        speaker = QStringLiteral("the host");
    else if (proto::isPlayerSeat(seatNumber))
        speaker = seat(seatNumber).shownName();
    for (const Spectator &spectator : spectators_) {
        if (spectator.seat == seatNumber)
            speaker = spectator.name;
    }
    if (speaker.isEmpty())
        speaker = QStringLiteral("seat %1").arg(seatNumber);
    const QString lines = hidden == 1 ? QStringLiteral("line") : QStringLiteral("lines");
    systemLine(QStringLiteral("%1 %2 from %3 not shown").arg(hidden).arg(lines, speaker));
}

void ClientSession::addlinetochat(const QString &line, quint32 colour)
{
    emit lineAdded(line, colour);
}

void ClientSession::systemLine(const QString &text)
{
    addlinetochat(QStringLiteral("0+") + text, chat::SystemLineColour);
}

// ---------------------------------------------------------------- phrase buttons

void ClientSession::b_phrase1Click(int button)
{
    if (button < 1 || button > chat::kPhraseButtons || phraseLocked())
        return;
    if (!link_)
        throw ESockException(QStringLiteral("Send - Socket Not Connected"));
    const QString text = chat::phraseAction(phrase(button)) + QLatin1Char('|') + chat::colourToText(options_.textColour);
    send(msg::encode(msg::Action {localSeat_, text.toUtf8()}));
    phraseLockedUntil_ = Timer1.now() + kPhraseLock;
}

// ---------------------------------------------------------------- options

void ClientSession::optionSet(Option option)
{
    touch(Options);
    emit optionChanged(option);
}

template <class T>
void ClientSession::setOption(T PlayerOptions::*field, const T &value, Option option)
{
    options_.*field = value;
    optionSet(option);
}

void ClientSession::setAutoErase(bool on) { setOption(&PlayerOptions::autoErase, on, Option::AutoErase); }
void ClientSession::setTextColour(quint32 colour) { setOption(&PlayerOptions::textColour, colour, Option::TextColour); }
void ClientSession::setBotSpeed(int speed) { setOption(&PlayerOptions::botSpeed, speed, Option::BotSpeed); }
void ClientSession::setTurnSound(int tag) { setOption(&PlayerOptions::turnSound, tag, Option::TurnSound); }
void ClientSession::setPlaySounds(bool on) { setOption(&PlayerOptions::playSounds, on, Option::PlaySounds); }
void ClientSession::setChatterSounds(bool on) { setOption(&PlayerOptions::chatterSounds, on, Option::ChatterSounds); }
void ClientSession::setOpenPort(bool on) { setOption(&PlayerOptions::openPort, on, Option::OpenPort); }
void ClientSession::setReadChatAloud(bool on) { setOption(&PlayerOptions::readChatAloud, on, Option::ReadChatAloud); }
void ClientSession::setTileSet(const QString &name) { setOption(&PlayerOptions::tileSet, name, Option::TileSet); }

void ClientSession::setTextSize(int size)
{
    if (size < PlayerOptions::kMinTextSize || size > PlayerOptions::kMaxTextSize)
        return;
    options_.textSizeMarked = true;
    setOption(&PlayerOptions::textSize, size, Option::TextSize);
}

void ClientSession::setGameOptions(int rounds, int seconds)
{
    options_.roundsPerGame = qBound(PlayerOptions::kMinRounds, rounds, PlayerOptions::kMaxRounds);
    options_.secondsPerRound = qBound(PlayerOptions::kMinSeconds, seconds, PlayerOptions::kMaxSeconds);
    touch(Options);
}

void ClientSession::setPhrase(int button, const QString &phrase)
{
    if (button < 1 || button > chat::kPhraseButtons)
        return;
    options_.phrases[size_t(button - 1)] = phrase;
    touch(Options);
}
