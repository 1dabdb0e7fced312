// The session's view of a game as the host runs it: the start, each round and turn, the clock,
// the word counts, the end of a list and of a round, the round results and the winner.

#include "session/client_session.h"

void ClientSession::startgame(const QByteArray &rounds, const QByteArray &seconds)
{
    // The host reads rounds and seconds from the right, so the name may hold any "+".
    send(msg::encode(msg::StartGame {playerName_.toUtf8(), rounds, seconds}));
    // Starting a game keeps the dialog's values for the next run.
    setGameOptions(proto::toNumber(rounds).value_or(options_.roundsPerGame),
                   proto::toNumber(seconds).value_or(options_.secondsPerRound));
    emit optionChanged(Option::GameOptions);
}

void ClientSession::turntimeTimer()
{
    const bool running = clock_.running();
    if (clock_.tick())
        playsounds(QStringLiteral("tick"));
    touch(Clock);
    if (running)
        emit secondsLeft(clock_.remaining());
}

void ClientSession::clearall()
{
    board_.goodJob = false;
    board_.buttons = false;
    board_.forgetWords();
    board_.removeTilePictures();
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        row(n).score = 0;
        row(n).wordCount.reset();
        results_.of(n).roundScore.reset();
    }
    touch(Board | Seats | Results);
}

void ClientSession::startTurn()
{
    switchToBoard();
    setEntrySeat(localSeat_);
    board_.buttons = true;
    touch(Board);
    playsounds(options_.turnSound == PlayerOptions::kNewTurnSound ? QStringLiteral("turnnew") : QStringLiteral("turn"));
}

// ---------------------------------------------------------------- game, round, turn

void ClientSession::startthegame(const msg::GameStarted &m)
{
    board_.goodJob = false;
    clock_.stop();
    gameOn_ = true;
    startOffered_ = false;
    // The host clears every watching seat when a game starts.
    justWatch_ = false;
    for (SeatRow &seat : seats_)
        seat.watching = false;
    winner_.shown = false;
    results_.shown = false;
    clearall();
    touch(Clock | Controls | Winner | Results | Seats);
    systemLine(QString::fromUtf8(m.name) + QStringLiteral(" has started a game."));
    // Seconds that are not a number leave the turn as long as it was.
    clock_.setGame(QString::fromUtf8(m.rounds), proto::toNumber(m.seconds).value_or(clock_.turnSeconds()));
    phase_ = proto::NoPhase;
}

void ClientSession::startround(const msg::StartRound &m)
{
    board_.goodJob = false;
    round_ = m.round;
    phase_ = proto::WordPhase;
    clock_.setRoundCaption(m.round);
    results_.shown = false;
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        ResultColumn &column = results_.of(n);
        column.bonus = false;
        column.fastest = false;
        column.roundScore.reset();
        column.words.clear();
        row(n).wordCount.reset();
    }
    board_.forgetWords();
    clock_.restart(clock_.turnSeconds());
    touch(Board | Clock | Results | Seats);
}

void ClientSession::getnextplayer(const msg::NextPlayer &m)
{
    board_.goodJob = false;
    setEntrySeat(m.seat);
    board_.clearEntry();
    setword(m.wordNumber, m.masked);
    if (isSpectator()) {
        board_.status = QStringLiteral("The Players are Creating Words.");
        touch(Board);
        return;
    }
    startTurn();
    board_.status = QStringLiteral("Type a Word - Press ENTER to submit your word.");
    touch(Board);
    emit turnStarted();
}

void ClientSession::loadstats(const msg::LoadStats &m)
{
    if (m.seat != localSeat_)
        return;
    clock_.setGame(QString::number(m.rounds), m.seconds);
    clock_.setRoundCaption(m.round);
    round_ = m.round;
    phase_ = m.phase;
    gameOn_ = true;
    refreshStarter();
    for (const msg::SeatStats &stats : m.seats) {
        if (!proto::isPlayerSeat(stats.seat))
            continue;
        row(stats.seat).score = stats.score;
        row(stats.seat).wordCount = stats.count;
    }
    touch(Clock | Seats | Controls);
    if (m.phase == proto::WordPhase) {
        if (isSpectator()) {
            board_.status = QStringLiteral("The Players are Creating Words.");
            touch(Board);
            return;
        }
        clock_.restart(m.remaining);
        startTurn();
        board_.status = QStringLiteral("Create A Word");
        touch(Board);
        emit turnStarted();
    } else if (m.phase == proto::ResultsPhase) {
        board_.status = QStringLiteral("Players are looking at their words.");
        touch(Board);
    }
}

// ---------------------------------------------------------------- counts and the end of a list

void ClientSession::hiscount(const msg::HisCount &m)
{
    if (!proto::isPlayerSeat(m.seat))
        return;
    row(m.seat).wordCount = m.count;
    touch(Seats);
}

void ClientSession::allfilled(const msg::AllFilled &m)
{
    if (m.seat != localSeat_)
        return;
    setEntrySeat(0);
    switchToChat();
    board_.goodJob = true;
    // After a pass the host sends no done field: no word was just filled.
    const int done = m.done.value_or(0);
    board_.accept(done, sentWord_);
    board_.buttons = false;
    board_.emptyRows();
    board_.status = QStringLiteral("You guessed all the words!");
    board_.captionWord = 0;
    touch(Board);
    playsounds(QStringLiteral("allfilled"));
    answered(done);
}

void ClientSession::alldone(const msg::AllDone &)
{
    if (!board_.goodJob && isPlayer())
        board_.goodJob = true;
    board_.status = QStringLiteral("All players completed the list.");
    setEntrySeat(0);
    phase_ = proto::AllDonePause;
    clock_.stop();
    touch(Board | Clock);
}

void ClientSession::timeup(const msg::TimeUp &)
{
    setEntrySeat(0);
    board_.buttons = true;
    board_.status = QStringLiteral("Time is Up.");
    touch(Board);
    playsounds(QStringLiteral("timeup"));
    emit timeIsUp();
}

// ---------------------------------------------------------------- results and the winner

void ClientSession::postscores(const msg::PostScores &m)
{
    setEntrySeat(0);
    phase_ = proto::ResultsPhase;
    if (proto::isPlayerSeat(m.fastestSeat))
        results_.of(m.fastestSeat).fastest = true;
    results_.roundCaption = clock_.roundCaption();
    switchToChat();

    results_.sourceWords.clear();
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        ResultColumn &column = results_.of(n);
        column.name = seat(n).shownName();
        column.bonus = false;
        column.roundScore.reset();
        column.words.clear();
    }

    // An entry that names no player seat, or a score that is not a number, is passed over; the
    // entries around it count all the same.
    for (const msg::ScoreEntry &entry : m.entries) {
        const QString value = QString::fromUtf8(entry.value);
        if (entry.kind == proto::SourceWord) {
            results_.sourceWords << value;
            continue;
        }
        if (!proto::isPlayerSeat(entry.seat))
            continue;
        ResultColumn &column = results_.of(entry.seat);
        switch (entry.kind) {
        case proto::SourceWordKept:
            if (seat(entry.seat).occupied)
                column.words << value.toUpper();
            break;
        case proto::OtherWord:
            if (seat(entry.seat).occupied)
                column.words << value;
            break;
        case proto::RoundScore:
            if (const std::optional<int> points = proto::toNumber(entry.value))
                column.roundScore = *points;
            break;
        case proto::TotalScore:
            if (const std::optional<int> points = proto::toNumber(entry.value))
                row(entry.seat).score = *points;
            break;
        case proto::ListCompleted:
            column.bonus = true;
            break;
        default:
            break;
        }
    }
    results_.shown = true;
    touch(Results | Seats | Board);
    playsounds(QStringLiteral("postscores"));
    emit roundScored();
}

void ClientSession::winner(const msg::Winner &m)
{
    const QString name = QString::fromUtf8(m.name);
    board_.goodJob = false;
    switchToChat();
    playsounds(QStringLiteral("winner"));
    const bool localWins = isPlayer() && seat(localSeat_).occupied && seat(localSeat_).name == name;
    winner_.text = localWins ? QStringLiteral("You have Won the Game!") : name + QStringLiteral(" has Won the Game!");
    board_.status = QStringLiteral("Game Over!");
    touch(Board);
    systemLine(winner_.text);
    winner_.shown = true;
    phase_ = proto::NoPhase;
    gameOn_ = false;
    arrivals_.forgetAway();
    refreshStarter();
    touch(Winner | Controls);
    emit winnerShown(winner_.text);
    if (isPlayer())
        emit gameWon(name, localWins);
}
