#include "discovery/avahi_qt_poll.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/time.h>

// Avahi may free a watch or a timeout from inside its own callback, so the Qt objects are left
// to the event loop to delete, and nothing touches the record after a callback has run.
struct AvahiWatch {
    AvahiQtPoll *poll = nullptr;
    int fd = -1;
    AvahiWatchEvent happened = AvahiWatchEvent(0);
    AvahiWatchCallback callback = nullptr;
    void *userdata = nullptr;
    QSocketNotifier *readable = nullptr;
    QSocketNotifier *writable = nullptr;
};

struct AvahiTimeout {
    AvahiQtPoll *poll = nullptr;
    QTimer *timer = nullptr;
    AvahiTimeoutCallback callback = nullptr;
    void *userdata = nullptr;
};

namespace {

void fire(AvahiWatch *watch, AvahiWatchEvent event)
{
    watch->happened = event;
    watch->callback(watch, watch->fd, event, watch->userdata);
}

void watchUpdate(AvahiWatch *watch, AvahiWatchEvent events)
{
    watch->readable->setEnabled(events & AVAHI_WATCH_IN);
    watch->writable->setEnabled(events & AVAHI_WATCH_OUT);
}

AvahiWatch *watchNew(const AvahiPoll *api, int fd, AvahiWatchEvent events, AvahiWatchCallback callback, void *userdata)
{
    auto *watch = new AvahiWatch;
    watch->poll = static_cast<AvahiQtPoll *>(api->userdata);
    watch->fd = fd;
    watch->callback = callback;
    watch->userdata = userdata;
    watch->readable = new QSocketNotifier(fd, QSocketNotifier::Read);
    watch->writable = new QSocketNotifier(fd, QSocketNotifier::Write);
    QObject::connect(watch->readable, &QSocketNotifier::activated, [watch] { fire(watch, AVAHI_WATCH_IN); });
    QObject::connect(watch->writable, &QSocketNotifier::activated, [watch] { fire(watch, AVAHI_WATCH_OUT); });
    watchUpdate(watch, events);
    return watch;
}

AvahiWatchEvent watchEvents(AvahiWatch *watch)
{
    return watch->happened;
}

void watchFree(AvahiWatch *watch)
{
    watch->readable->setEnabled(false);
    watch->writable->setEnabled(false);
    watch->readable->disconnect();
    watch->writable->disconnect();
    watch->poll->retire(watch->readable);
    watch->poll->retire(watch->writable);
    delete watch;
}

// Avahi names the moment on the wall clock; Qt's timers want the wait from now.
void timeoutUpdate(AvahiTimeout *timeout, const struct timeval *when)
{
    if (!when) {
        timeout->timer->stop();
        return;
    }
    timeval now {};
    gettimeofday(&now, nullptr);
    const qint64 ms = (qint64(when->tv_sec) - now.tv_sec) * 1000 + (qint64(when->tv_usec) - now.tv_usec) / 1000;
    timeout->timer->start(int(std::clamp<qint64>(ms, 0, 24 * 3600 * 1000)));
}

AvahiTimeout *timeoutNew(const AvahiPoll *api, const struct timeval *when, AvahiTimeoutCallback callback, void *userdata)
{
    auto *timeout = new AvahiTimeout;
    timeout->poll = static_cast<AvahiQtPoll *>(api->userdata);
    timeout->callback = callback;
    timeout->userdata = userdata;
    timeout->timer = new QTimer;
    timeout->timer->setSingleShot(true);
    QObject::connect(timeout->timer, &QTimer::timeout, [timeout] { timeout->callback(timeout, timeout->userdata); });
    timeoutUpdate(timeout, when);
    return timeout;
}

void timeoutFree(AvahiTimeout *timeout)
{
    timeout->timer->stop();
    timeout->timer->disconnect();
    timeout->poll->retire(timeout->timer);
    delete timeout;
}

} // namespace

AvahiQtPoll::AvahiQtPoll()
{
    api_.userdata = this;
    api_.watch_new = watchNew;
    api_.watch_update = watchUpdate;
    api_.watch_get_events = watchEvents;
    api_.watch_free = watchFree;
    api_.timeout_new = timeoutNew;
    api_.timeout_update = timeoutUpdate;
    api_.timeout_free = timeoutFree;
}

AvahiQtPoll::~AvahiQtPoll()
{
    for (const QPointer<QObject> &object : std::as_const(retired_))
        delete object.data();
}

void AvahiQtPoll::retire(QObject *object)
{
    retired_.removeIf([](const QPointer<QObject> &gone) { return gone.isNull(); });
    object->deleteLater();
    retired_.append(object);
}
