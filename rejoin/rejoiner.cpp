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
        attemptOver();
    });
    connect(&session_, &ClientSession::connectionLost, this, &Rejoiner::lost);
    connect(&session_, &ClientSession::connectionFailed, this, &Rejoiner::failed);
    connect(&session_, &ClientSession::rejoined, this, [this] {
        if (active_)
            finish(QStringLiteral("Rejoined."));
    });
}

void Rejoiner::lost()
{
    // A connection that came about in an attempt and ended before the login: the attempt failed.
    if (active_) {
        attemptOver();
        return;
    }
    session_.systemLine(QStringLiteral("Connection lost. Rejoining..."));
    attempts_ = 0;
    sinceLoss_.start();
    setActive(true);
    scheduleNext();
}

void Rejoiner::failed(int wsaCode)
{
    if (!active_) {
        failedAddress_ = session_.hostAddressText();
        session_.systemLine(connectionwords::couldNotConnect(failedAddress_, wsaCode));
        emit joinFailed(failedAddress_);
        return;
    }
    if (attempts_ == 1 && wsaCode == wsa::kConnectionRefused) {
        next_.stop();
        attemptEnd_.stop();
        setActive(false);
        emit hostEnded();
        return;
    }
    attemptOver();
}

void Rejoiner::attempt()
{
    ++attempts_;
    attemptRunning_ = true;
    attemptEnd_.start(rejoinschedule::kAttemptSeconds * msPerSecond_);
    try {
        session_.rejoin();
    } catch (const ESockException &) {
        // A name that no longer resolves is a failed attempt like any other.
        attemptOver();
    }
}

void Rejoiner::attemptOver()
{
    if (!attemptRunning_)
        return;
    attemptRunning_ = false;
    attemptEnd_.stop();
    scheduleNext();
}

void Rejoiner::scheduleNext()
{
    const QList<int> times = rejoinschedule::attemptTimes();
    if (attempts_ >= times.size()) {
        finish(QStringLiteral("Could not rejoin the game."));
        return;
    }
    const qint64 due = qint64(times.at(attempts_)) * msPerSecond_ - sinceLoss_.elapsed();
    next_.start(int(qMax<qint64>(0, due)));
}

void Rejoiner::stop()
{
    if (!active_)
        return;
    session_.dropConnection();
    finish(QStringLiteral("Rejoining stopped."));
}

void Rejoiner::finish(const QString &line)
{
    next_.stop();
    attemptEnd_.stop();
    attemptRunning_ = false;
    setActive(false);
    session_.systemLine(line);
}

void Rejoiner::setActive(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    emit activeChanged(active);
}
