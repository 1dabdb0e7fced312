#pragma once

#include <QByteArray>
#include <QString>

// Tells the service manager that started this process (systemd) how the service is doing, by
// its notify protocol: a datagram of "NAME=value" lines to the socket named in NOTIFY_SOCKET (a
// name starting with "@" is in the abstract namespace). Without NOTIFY_SOCKET nothing is sent.
class ServiceNotifier
{
public:
    // From NOTIFY_SOCKET, WATCHDOG_USEC and WATCHDOG_PID.
    ServiceNotifier();
    // `socket` as NOTIFY_SOCKET names it; `watchdogUsec` 0 for no watchdog.
    ServiceNotifier(const QByteArray &socket, qint64 watchdogUsec);
    ~ServiceNotifier();
    ServiceNotifier(const ServiceNotifier &) = delete;
    ServiceNotifier &operator=(const ServiceNotifier &) = delete;

    bool active() const { return !socket_.isEmpty(); }
    // How often watchdog() is due: half the service manager's watchdog time, which leaves a
    // late tick time to come; 0 when there is no watchdog for this process.
    int watchdogPeriodMs() const;

    // Each returns false when the datagram could not be sent (or there is nobody to send it to).
    bool ready(const QString &status);
    // One line saying what the service is doing ("3 players, round 2 of 3").
    bool status(const QString &status);
    bool watchdog();
    bool stopping();
    // Sends `state`, "NAME=value" lines as they stand, waiting at most `waitMs` for room in the
    // manager's queue.
    bool notify(const QByteArray &state, int waitMs = kRoutineWaitMs);

    // How long a datagram may wait for room in the manager's queue: READY=1 and STOPPING=1, said
    // once, long enough for a manager that a hundred services keep busy; the routine ones, which
    // the next tick says again, not long enough to hold up the game.
    static constexpr int kOnceWaitMs = 3000;
    static constexpr int kRoutineWaitMs = 200;

private:
    bool connectSocket();

    QByteArray socket_;
    qint64 watchdogUsec_ = 0;
    int fd_ = -1;
};
