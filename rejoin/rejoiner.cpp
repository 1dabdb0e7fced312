#include "rejoin/rejoiner.h"

#include "net/esock_exception.h"
#include "net/wsa_errors.h"
#include "rejoin/connection_words.h"
#include "rejoin/rejoin_schedule.h"
#include "session/client_session.h"

Rejoiner::Rejoiner(ClientSession &session, QObject *parent)
    : QObject(parent)
    , session_(session)
{
    next_.setSingleShot(true);
    attemptEnd_.setSingleShot(true);
    connect(&next_, &QTimer::timeout, this, &Rejoiner::attempt);
    connect(&attemptEnd_, &QTimer::timeout, this, [this] {
        session_.dropConnection();
        attemptOver(false);
    });
    connect(&clock_, &QTimer::timeout, this, &Rejoiner::showProgress);
    connect(&session_, &ClientSession::connecting, this, [this] { setJoining(true); });
    connect(&session_, &ClientSession::changed, this, [this] {
        if (joining_ && session_.connected())
            setJoining(false);
    });
    connect(&session_, &ClientSession::connectionLost, this, &Rejoiner::lost);
    connect(&session_, &ClientSession::connectionFailed, this, &Rejoiner::failed);
    connect(&session_, &ClientSession::rejoined, this, [this](bool ownSeat) {
        if (active_)
            finish(ownSeat ? QStringLiteral("Rejoined.") : QStringLiteral("Rejoined as a newcomer: the game you were in is over."));
    });
    connect(&session_, &ClientSession::hostEnded, this, [this] {
        finish(QString());
        emit hostEnded();
    });
}

void Rejoiner::lost()
{
    // A connection that came about in an attempt and ended before the login: the attempt failed.
    if (active_) {
        attemptOver(false);
        return;
    }
    session_.systemLine(QStringLiteral("Connection lost. Rejoining..."));
    attempts_ = 0;
    allRefused_ = true;
    sinceLoss_.start();
    setActive(true);
    scheduleNext();
}

void Rejoiner::failed(int wsaCode)
{
    if (!active_) {
        setJoining(false);
        failedAddress_ = session_.hostAddressText();
        session_.systemLine(connectionwords::couldNotConnect(failedAddress_, wsaCode));
        emit joinFailed(failedAddress_);
        return;
    }
    // A refusal is tried again like any failure: a host that restarts, or a second's outage on
    // its machine, refuses too.
    attemptOver(wsaCode == wsa::kConnectionRefused);
}

void Rejoiner::attempt()
{
    ++attempts_;
    attemptRunning_ = true;
    attemptEnd_.start(rejoinschedule::kAttemptSeconds * msPerSecond_);
    sinceStart_.start();
    showProgress();
    try {
        session_.rejoin();
    } catch (const ESockException &) {
        // A name that no longer resolves is a failed attempt like any other.
        attemptOver(false);
    }
}

void Rejoiner::attemptOver(bool refused)
{
    if (!attemptRunning_)
        return;
    attemptRunning_ = false;
    allRefused_ = allRefused_ && refused;
    attemptEnd_.stop();
    scheduleNext();
}

void Rejoiner::scheduleNext()
{
    const QList<int> times = rejoinschedule::attemptTimes();
    if (attempts_ < times.size()) {
        const qint64 due = qint64(times.at(attempts_)) * msPerSecond_ - sinceLoss_.elapsed();
        next_.start(int(qMax<qint64>(0, due)));
        showProgress();
        return;
    }
    // Nothing listened there for the whole two minutes: the host has gone.
    const bool hostGone = allRefused_;
    finish(hostGone ? QString() : QStringLiteral("Could not rejoin the game."));
    session_.giveUp();
    if (hostGone)
        emit hostEnded();
}

void Rejoiner::stop()
{
    if (joining_) {
        setJoining(false);
        session_.systemLine(QStringLiteral("Connecting stopped."));
        session_.giveUp();
        return;
    }
    if (!active_)
        return;
    finish(QStringLiteral("Rejoining stopped."));
    session_.giveUp();
}

void Rejoiner::finish(const QString &line)
{
    next_.stop();
    attemptEnd_.stop();
    attemptRunning_ = false;
    setActive(false);
    if (!line.isEmpty())
        session_.systemLine(line);
}

void Rejoiner::setActive(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    showProgress();
    emit activeChanged(active);
}

void Rejoiner::setJoining(bool joining)
{
    if (joining)
        sinceStart_.start();
    if (joining_ == joining)
        return;
    joining_ = joining;
    showProgress();
    emit joiningChanged(joining);
}

void Rejoiner::showProgress()
{
    // A join whose connection went another way (a name that was not found, a game left) is over.
    if (joining_ && !session_.hasLink()) {
        setJoining(false);
        return;
    }
    const qint64 seconds = sinceStart_.isValid() ? sinceStart_.elapsed() / msPerSecond_ : 0;
    QString text;
    if (joining_)
        text = QStringLiteral("Connecting to %1... %2 s").arg(session_.hostAddressText()).arg(seconds);
    else if (active_ && attemptRunning_)
        text = QStringLiteral("Rejoining %1... %2 s").arg(session_.hostAddressText()).arg(seconds);
    else if (active_)
        text = QStringLiteral("Connection lost. Next attempt in %1 s.").arg((next_.remainingTime() + msPerSecond_ - 1) / msPerSecond_);
    if (joining_ || active_) {
        if (!clock_.isActive())
            clock_.start(msPerSecond_);
    } else {
        clock_.stop();
    }
    if (text == progress_)
        return;
    progress_ = text;
    emit progressChanged(progress_);
}
