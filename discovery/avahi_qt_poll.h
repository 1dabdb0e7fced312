#pragma once

#include <avahi-common/watch.h>

// Avahi's event loop interface carried by Qt's: descriptor watches are socket notifiers and
// timeouts are timers, so the Avahi client runs on the thread whose calls make them (a thread of
// its own: see avahi_thread.h), between that thread's other events. Lives as long as every Avahi
// object made with it.
class AvahiQtPoll
{
public:
    AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll &) = delete;
    AvahiQtPoll &operator=(const AvahiQtPoll &) = delete;

    const AvahiPoll *api() const { return &api_; }

private:
    AvahiPoll api_ {};
};
