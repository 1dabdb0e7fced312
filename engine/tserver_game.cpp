#include "engine/tserver.h"

#include "dictionary/tdictn.h"
#include "engine/messages.h"

namespace {

// Letters each blank pattern keeps (1-based positions); the others become "_".
constexpr std::array<std::array<bool, 5>, 4> kKeptPositions = {{
    {true, false, true, false, true},  // x_x_x
    {true, false, false, false, true}, // x___x
    {false, true, false, true, false}, // _x_x_
    {false, true, true, true, false},  // _xxx_
}};

constexpr int kAllDoneSeconds = 3;
constexpr int kClientLeadSeconds = 4; // the word phase runs this much longer than clients count
constexpr int kPointsFastest = 25;
constexpr int kPointsSourceWord = 10;
constexpr int kPointsOtherWord = 5;
constexpr int kPointsAllTen = 25;

int resultsSeconds(int activePlayers)
{
    switch (activePlayers) {
    case 1: return 15;
    case 3:
    case 4: return 22;
    case 5:
    case 6: return 26;
    default: return 18;
    }
}

QByteArray maskedWord(const QByteArray &source, int pattern)
{
    QByteArray masked = source;
    for (int i = 0; i < masked.size() && i < 5; ++i) {
        if (!kKeptPositions[size_t(pattern)][size_t(i)])
            masked[i] = '_';
    }
    return masked;
}

} // namespace

// ---------------------------------------------------------------- game start and dealing

void TServer::startgame(const QByteArray &data)
{
    gameRunning_ = true;
    wire::FieldReader fields(data);
    const QByteArray name = fields.next();
    const QByteArray rounds = fields.next();
    const QByteArray seconds = fields.next();
    const QByteArray fourth = fields.next();
    roundsPerGame_ = wire::toNumber(rounds).value_or(5);
    turnSeconds_ = wire::toNumber(seconds).value_or(60);
    sendToAll(msg::startgameRelay({name, rounds, seconds, fourth}));
    emit activity(QStringLiteral("game started: %1 rounds of %2 seconds").arg(roundsPerGame_).arg(turnSeconds_));

    for (int n = 1; n <= kMaxPlayers; ++n) {
        seats_[size_t(n)].totalScore = 0;
        seats_[size_t(n)].watching = false;
    }
    roundNumber_ = 0;
    setboards();
    startround();
}

QByteArray TServer::converttoletter(int code)
{
    if (code < 1 || code > 26)
        return {};
    return QByteArray(1, char('a' + code - 1));
}

void TServer::setboards()
{
    for (auto &row : puzzles_)
        row.fill({});
    if (listbox_words.isEmpty())
        return;
    std::uniform_int_distribution<int> pickWord(0, int(listbox_words.size()) - 1);
    std::uniform_int_distribution<int> pickPattern(0, 3);
    for (int row = 1; row <= kDealtRounds; ++row) {
        for (int w = 1; w <= kWordsPerRound; ++w) {
            Puzzle &cell = puzzles_[size_t(row)][size_t(w)];
            cell.source = listbox_words.at(pickWord(random_));
            cell.masked = maskedWord(cell.source, pickPattern(random_));
        }
    }
}

void TServer::startround()
{
    fastestSeat_ = 0;
    ++roundNumber_;
    if (roundNumber_ > roundsPerGame_ && checkforwin())
        return;
    for (int n = 1; n <= kMaxPlayers; ++n) {
        Seat &seat = seats_[size_t(n)];
        seat.currentWord = 1;
        seat.roundScore = 0;
        seat.filledCount = 0;
        seat.words.fill({});
    }
    sendToAll(msg::startround(roundNumber_));
    emit activity(QStringLiteral("round %1 started").arg(roundNumber_));
    findplayer();
    restartTimer1(turnSeconds_ + kClientLeadSeconds, WordPhase);
}

void TServer::findplayer()
{
    // The table holds twenty rounds; every round past them is played on a fresh row 20.
    if (roundNumber_ > kDealtRounds) {
        setboards();
        roundNumber_ = kDealtRounds;
    }
    for (int n = 1; n <= seatCount_; ++n) {
        const Seat &seat = seats_[size_t(n)];
        if (!seat.inUse)
            continue;
        if (isPlayerSeat(n))
            sendToSeat(n, msg::nextplayer(n, seat.currentWord, puzzle(roundNumber_, seat.currentWord).masked));
        else
            sendToSeat(n, msg::nextplayerSpectator());
    }
}

void TServer::restartTimer1(int countdown, Phase phase)
{
    timer1_.stop();
    countdown_ = countdown;
    phase_ = phase;
    timer1_.start();
}

void TServer::setManualClock(bool manual)
{
    timer1_.setManualClock(manual);
}

// ---------------------------------------------------------------- words and passes

int TServer::findnextempty(int seatNumber, int from) const
{
    const Seat &seat = seats_[size_t(seatNumber)];
    from = std::clamp(from, 0, kWordsPerRound);
    for (int w = from + 1; w <= kWordsPerRound; ++w) {
        if (seat.words[size_t(w)].isEmpty())
            return w;
    }
    for (int w = 1; w <= from; ++w) {
        if (seat.words[size_t(w)].isEmpty())
            return w;
    }
    return 0;
}

bool TServer::listComplete(int seatNumber) const
{
    return findnextempty(seatNumber, 0) == 0;
}

bool TServer::checkforfirst(int seatNumber) const
{
    for (int n = 1; n <= kMaxPlayers; ++n) {
        if (n != seatNumber && seats_[size_t(n)].inUse && listComplete(n))
            return false;
    }
    return true;
}

bool TServer::checkforalldone() const
{
    for (int n = 1; n <= kMaxPlayers; ++n) {
        const Seat &seat = seats_[size_t(n)];
        if (seat.inUse && !seat.watching && !listComplete(n))
            return false;
    }
    return true;
}

// The player seat a word or a pass comes from, read off the message; nothing outside the word
// phase: a word that arrived later would be stored after the round was scored and could get the
// round scored twice.
std::optional<int> TServer::wordPhaseSeat(wire::FieldReader &fields) const
{
    if (!gameRunning_ || phase_ != WordPhase)
        return std::nullopt;
    const std::optional<int> seatNumber = fields.nextNumber();
    if (!seatNumber || !isPlayerSeat(*seatNumber))
        return std::nullopt;
    return seatNumber;
}

void TServer::myword(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> seatNumber = wordPhaseSeat(fields);
    if (!seatNumber)
        return;
    Seat &seat = seats_[size_t(*seatNumber)];
    // A complete list has no word left to fill; a further submission would overwrite one.
    if (listComplete(*seatNumber))
        return;
    const int completed = seat.currentWord;

    QByteArray word;
    for (int pair = 1; pair <= 5; ++pair) {
        fields.next(); // the position number, not used
        const std::optional<int> code = pair < 5 ? fields.nextNumber() : wire::toNumber(fields.rest());
        if (!code)
            return;
        word += converttoletter(*code);
    }

    if (word.size() != 5 || !spell->HasWord(QString::fromLatin1(word))) {
        sendToSeat(*seatNumber, msg::invalid(*seatNumber, 2));
        return;
    }
    const QByteArray &masked = puzzle(roundNumber_, completed).masked;
    for (int i = 0; i < 5; ++i) {
        if (i < masked.size() && masked.at(i) != '_' && masked.at(i) != word.at(i)) {
            sendToSeat(*seatNumber, msg::invalid(*seatNumber, 1));
            return;
        }
    }

    ++seat.filledCount;
    seat.words[size_t(completed)] = word;
    const int next = findnextempty(*seatNumber, completed);
    sendToAll(msg::hiscount(*seatNumber, seat.filledCount));
    if (next != 0) {
        seat.currentWord = next;
        sendToSeat(*seatNumber, msg::newword(*seatNumber, completed, next, puzzle(roundNumber_, next).masked));
    } else {
        if (fastestSeat_ == 0 && checkforfirst(*seatNumber))
            fastestSeat_ = *seatNumber;
        sendToSeat(*seatNumber, msg::allfilled(*seatNumber, completed));
    }
    if (checkforalldone()) {
        restartTimer1(kAllDoneSeconds, AllDonePause);
        sendToAll(msg::alldone());
    }
}

void TServer::pass(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> seatNumber = wordPhaseSeat(fields);
    if (!seatNumber)
        return;
    Seat &seat = seats_[size_t(*seatNumber)];
    const int next = findnextempty(*seatNumber, seat.currentWord);
    if (next != 0) {
        seat.currentWord = next;
        sendToSeat(*seatNumber, msg::newword(*seatNumber, 0, next, puzzle(roundNumber_, next).masked));
    } else {
        sendToSeat(*seatNumber, msg::allfilledAfterPass(*seatNumber));
    }
}

// ---------------------------------------------------------------- the clock, scores, winner

void TServer::timer1Timer()
{
    if (!timer1_.running() || --countdown_ >= 1)
        return;
    timer1_.stop();
    switch (phase_) {
    case WordPhase:
        for (int n = 1; n <= seatCount_; ++n)
            sendToSeat(n, msg::timeup(n));
        endround();
        break;
    case ResultsPhase:
        startround();
        break;
    case AllDonePause:
        endround();
        break;
    default:
        break;
    }
}

void TServer::endround()
{
    QList<msg::ScoreEntry> entries;
    for (int n = 1; n <= kMaxPlayers; ++n) {
        Seat &seat = seats_[size_t(n)];
        seat.roundScore = n == fastestSeat_ ? kPointsFastest : 0;
        int filled = 0;
        for (int w = 1; w <= kWordsPerRound; ++w) {
            const QByteArray &word = seat.words[size_t(w)];
            const Puzzle &dealt = puzzle(roundNumber_, w);
            if (word.isEmpty()) {
                entries.append({n, 1, dealt.masked});
                continue;
            }
            ++filled;
            const bool source = word == dealt.source;
            seat.roundScore += source ? kPointsSourceWord : kPointsOtherWord;
            entries.append({n, source ? 0 : 1, word});
        }
        if (filled == kWordsPerRound) {
            seat.roundScore += kPointsAllTen;
            entries.append({n, 4, "25"});
        }
        seat.totalScore += seat.roundScore;
        if (seat.roundScore != 0)
            entries.append({n, 2, QByteArray::number(seat.roundScore)});
        entries.append({n, 3, QByteArray::number(seat.totalScore)});
    }
    for (int w = 1; w <= kWordsPerRound; ++w)
        entries.append({0, 5, puzzle(roundNumber_, w).source});
    sendToAll(msg::postscores(fastestSeat_, entries));
    emit activity(QStringLiteral("round %1 scored").arg(roundNumber_));
    restartTimer1(resultsSeconds(checkforplaying()), ResultsPhase);
}

int TServer::checkforplaying() const
{
    int active = 0;
    for (int n = 1; n <= kMaxPlayers; ++n) {
        if (seats_[size_t(n)].inUse && !seats_[size_t(n)].watching)
            ++active;
    }
    return active;
}

bool TServer::checkforwin()
{
    // The leader starts as the lowest seat in use, so that a player who left can never be
    // named the winner over the players still at the table.
    int leader = 1;
    for (int n = 1; n <= kMaxPlayers; ++n) {
        if (seats_[size_t(n)].inUse) {
            leader = n;
            break;
        }
    }
    for (int n = leader + 1; n <= kMaxPlayers; ++n) {
        if (seats_[size_t(n)].inUse && seats_[size_t(n)].totalScore > seats_[size_t(leader)].totalScore)
            leader = n;
    }
    for (int n = 1; n <= kMaxPlayers; ++n) {
        if (n != leader && seats_[size_t(n)].inUse
            && seats_[size_t(n)].totalScore == seats_[size_t(leader)].totalScore)
            return false;
    }
    const Seat &winner = seats_[size_t(leader)];
    const QByteArray name = winner.name.isEmpty() ? winner.defaultName : winner.name;
    sendToAll(msg::winner(name));
    emit activity(QStringLiteral("%1 won the game").arg(QString::fromUtf8(name)));
    gameRunning_ = false;
    return true;
}
