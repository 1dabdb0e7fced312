#pragma once

#include <QList>
#include <QPointer>

#include <avahi-common/watch.h>

// Avahi's event loop interface carried by Qt's: descriptor watches are socket notifiers and
// timeouts are timers, so the Avahi client runs on the thread whose calls make them (a thread of
// its own: see avahi_thread.h), between that thread's other events. Lives as long as every Avahi
// object made with it.
class AvahiQtPoll
{
public:
    AvahiQtPoll();
    // Deletes what Avahi freed and the event loop has not: the client is freed last thing on its
    // thread, when no loop runs any more.
    ~AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll &) = delete;
    AvahiQtPoll &operator=(const AvahiQtPoll &) = delete;

    const AvahiPoll *api() const { return &api_; }

    // A notifier or timer Avahi no longer needs: deleted by the event loop, or at the latest by
    // this poll's end.
    void retire(QObject *object);

private:
    AvahiPoll api_ {};
    QList<QPointer<QObject>> retired_;
};
