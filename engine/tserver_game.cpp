#include "engine/tserver.h"

#include "dictionary/tdictn.h"
#include "engine/player_text.h"

namespace {

// Letters each blank pattern keeps (1-based positions); the others become "_".
constexpr std::array<std::array<bool, proto::kWordLength>, 4> kKeptPositions = {{
    {true, false, true, false, true},  // x_x_x
    {true, false, false, false, true}, // x___x
    {false, true, false, true, false}, // _x_x_
    {false, true, true, true, false},  // _xxx_
}};

// A start whose rounds or seconds are not numbers plays the defaults.
constexpr int kFallbackRounds = 5;
constexpr int kFallbackSeconds = 60;

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
    for (int i = 0; i < masked.size() && i < proto::kWordLength; ++i) {
        if (!kKeptPositions[size_t(pattern)][size_t(i)])
            masked[i] = '_';
    }
    return masked;
}

} // namespace

// ---------------------------------------------------------------- game start and dealing

void TServer::startgame(const msg::StartGame &m)
{
    gameRunning_ = true;
    // What the start dialog offers is what the host plays: numbers outside its ranges are taken
    // as the nearest end.
    roundsPerGame_ = std::clamp(proto::toNumber(m.rounds).value_or(kFallbackRounds), proto::kMinRounds, proto::kMaxRounds);
    turnSeconds_ = std::clamp(proto::toNumber(m.seconds).value_or(kFallbackSeconds), proto::kMinTurnSeconds,
                              proto::kMaxTurnSeconds);
    // Announced with the name the starter is known by at the table and the numbers played.
    sendToAll(msg::encode(msg::GameStarted {seats_[size_t(sender_)].name, QByteArray::number(roundsPerGame_),
                                            QByteArray::number(turnSeconds_), {}}));
    emit activity(QStringLiteral("game started: %1 rounds of %2 seconds").arg(roundsPerGame_).arg(turnSeconds_));

    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        seats_[size_t(n)].totalScore = 0;
        seats_[size_t(n)].watching = false;
    }
    roundNumber_ = 0;
    setboards();
    startround();
}

QByteArray TServer::converttoletter(int code)
{
    if (code < 1 || code > proto::kLetterCodes)
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
        for (int w = 1; w <= proto::kWordsPerRound; ++w) {
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
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        Seat &seat = seats_[size_t(n)];
        seat.currentWord = 1;
        seat.roundScore = 0;
        seat.filledCount = 0;
        seat.words.fill({});
    }
    sendToAll(msg::encode(msg::StartRound {roundNumber_}));
    emit activity(QStringLiteral("round %1 started").arg(roundNumber_));
    findplayer();
    restartTimer1(qint64(turnSeconds_) + proto::timing::kWordPhaseLeadSeconds, proto::WordPhase);
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
        if (!loggedIn(n))
            continue;
        if (proto::isPlayerSeat(n))
            sendToSeat(n, msg::encode(msg::NextPlayer {n, seat.currentWord, puzzle(roundNumber_, seat.currentWord).masked}));
        else
            sendToSeat(n, msg::encode(msg::NextPlayer::forSpectator()));
    }
}

void TServer::restartTimer1(qint64 countdown, proto::Phase phase)
{
    timer1_.stop();
    countdown_ = countdown;
    phase_ = phase;
    timer1_.start();
}

void TServer::setManualClock(bool manual)
{
    timer1_.setManualClock(manual);
    logintimer_.setManualClock(manual);
}

// ---------------------------------------------------------------- words and passes

int TServer::findnextempty(int seatNumber, int from) const
{
    const Seat &seat = seats_[size_t(seatNumber)];
    from = std::clamp(from, 0, proto::kWordsPerRound);
    for (int w = from + 1; w <= proto::kWordsPerRound; ++w) {
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
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (n != seatNumber && loggedIn(n) && listComplete(n))
            return false;
    }
    return true;
}

bool TServer::checkforalldone() const
{
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (loggedIn(n) && !seats_[size_t(n)].watching && !listComplete(n))
            return false;
    }
    return true;
}

// Words and passes count only from player seats in the word phase: a word that arrived later
// would be stored after the round was scored and could get the round scored twice.
bool TServer::acceptsWordFrom(int seatNumber) const
{
    return gameRunning_ && phase_ == proto::WordPhase && proto::isPlayerSeat(seatNumber);
}

void TServer::myword(const msg::MyWord &m)
{
    if (!acceptsWordFrom(m.seat))
        return;
    // A complete list has no word left to fill; a further submission would overwrite one. The
    // player is told again, so that a board opened by mistake closes.
    if (listComplete(m.seat)) {
        sendToSeat(m.seat, msg::encode(msg::AllFilled {m.seat, std::nullopt}));
        return;
    }
    Seat &seat = seats_[size_t(m.seat)];
    const int completed = seat.currentWord;

    QByteArray word;
    for (const int code : m.codes)
        word += converttoletter(code);
    if (word.size() != proto::kWordLength || !spell->HasWord(QString::fromLatin1(word))) {
        sendToSeat(m.seat, msg::encode(msg::Invalid {m.seat, proto::VerdictWord}));
        return;
    }
    const QByteArray &masked = puzzle(roundNumber_, completed).masked;
    for (int i = 0; i < proto::kWordLength; ++i) {
        if (i < masked.size() && masked.at(i) != '_' && masked.at(i) != word.at(i)) {
            sendToSeat(m.seat, msg::encode(msg::Invalid {m.seat, proto::VerdictMatch}));
            return;
        }
    }

    ++seat.filledCount;
    seat.words[size_t(completed)] = word;
    const int next = findnextempty(m.seat, completed);
    sendToAll(msg::encode(msg::HisCount {m.seat, seat.filledCount}));
    if (next != 0) {
        seat.currentWord = next;
        sendToSeat(m.seat, msg::encode(msg::NewWord {m.seat, completed, next, puzzle(roundNumber_, next).masked}));
    } else {
        if (fastestSeat_ == 0 && checkforfirst(m.seat))
            fastestSeat_ = m.seat;
        sendToSeat(m.seat, msg::encode(msg::AllFilled {m.seat, completed}));
    }
    if (checkforalldone()) {
        restartTimer1(proto::timing::kAllDonePauseSeconds, proto::AllDonePause);
        sendToAll(msg::encode(msg::AllDone {}));
    }
}

void TServer::pass(const msg::Pass &m)
{
    if (!acceptsWordFrom(m.seat))
        return;
    Seat &seat = seats_[size_t(m.seat)];
    const int next = findnextempty(m.seat, seat.currentWord);
    if (next != 0) {
        seat.currentWord = next;
        sendToSeat(m.seat, msg::encode(msg::NewWord {m.seat, 0, next, puzzle(roundNumber_, next).masked}));
    } else {
        sendToSeat(m.seat, msg::encode(msg::AllFilled {m.seat, std::nullopt}));
    }
}

// ---------------------------------------------------------------- the clock, scores, winner

void TServer::timer1Timer()
{
    if (!timer1_.running())
        return;
    freeKeptSeats(reservations_.secondPassed(), "two minutes without a return");
    if (--countdown_ >= 1)
        return;
    timer1_.stop();
    switch (phase_) {
    case proto::WordPhase:
        for (int n = 1; n <= seatCount_; ++n)
            sendToSeat(n, msg::encode(msg::TimeUp {n}));
        endround();
        break;
    case proto::ResultsPhase:
        startround();
        break;
    case proto::AllDonePause:
        endround();
        break;
    default:
        break;
    }
}

void TServer::endround()
{
    QList<msg::ScoreEntry> entries;
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        Seat &seat = seats_[size_t(n)];
        seat.roundScore = n == fastestSeat_ ? kPointsFastest : 0;
        int filled = 0;
        for (int w = 1; w <= proto::kWordsPerRound; ++w) {
            const QByteArray &word = seat.words[size_t(w)];
            const Puzzle &dealt = puzzle(roundNumber_, w);
            if (word.isEmpty()) {
                entries.append({n, proto::OtherWord, dealt.masked});
                continue;
            }
            ++filled;
            const bool source = word == dealt.source;
            seat.roundScore += source ? kPointsSourceWord : kPointsOtherWord;
            entries.append({n, source ? proto::SourceWordKept : proto::OtherWord, word});
        }
        if (filled == proto::kWordsPerRound) {
            seat.roundScore += kPointsAllTen;
            entries.append({n, proto::ListCompleted, QByteArray::number(kPointsAllTen)});
        }
        seat.totalScore += seat.roundScore;
        if (seat.roundScore != 0)
            entries.append({n, proto::RoundScore, QByteArray::number(seat.roundScore)});
        entries.append({n, proto::TotalScore, QByteArray::number(seat.totalScore)});
    }
    for (int w = 1; w <= proto::kWordsPerRound; ++w)
        entries.append({0, proto::SourceWord, puzzle(roundNumber_, w).source});
    sendToAll(msg::encode(msg::PostScores {fastestSeat_, entries}));
    emit activity(QStringLiteral("round %1 scored").arg(roundNumber_));
    restartTimer1(resultsSeconds(checkforplaying()), proto::ResultsPhase);
}

int TServer::checkforplaying() const
{
    int active = 0;
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (loggedIn(n) && !seats_[size_t(n)].watching)
            ++active;
    }
    return active;
}

bool TServer::checkforwin()
{
    // The leader starts as the lowest seat in use, so that a player who left can never be
    // named the winner over the players still at the table.
    int leader = 1;
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (loggedIn(n)) {
            leader = n;
            break;
        }
    }
    for (int n = leader + 1; n <= proto::kPlayerSeats; ++n) {
        if (loggedIn(n) && seats_[size_t(n)].totalScore > seats_[size_t(leader)].totalScore)
            leader = n;
    }
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (n != leader && loggedIn(n)
            && seats_[size_t(n)].totalScore == seats_[size_t(leader)].totalScore)
            return false;
    }
    const Seat &winner = seats_[size_t(leader)];
    const QByteArray name = winner.name.isEmpty() ? winner.defaultName : winner.name;
    sendToAll(msg::encode(msg::Winner {name}));
    emit activity(QStringLiteral("%1 won the game").arg(playertext::forLog(name)));
    gameRunning_ = false;
    freeKeptSeats(reservations_.gameEnded(), "the game is over");
    return true;
}
