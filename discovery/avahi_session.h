#pragma once

#include "discovery/avahi_qt_poll.h"

#include <QObject>

struct AvahiClient;

// A connection to the desktop's Avahi daemon over the system bus, on the event loop of the thread
// that makes it. Without a daemon it waits for one to appear; a daemon that goes away is waited
// for again. Publishers and browsers make their Avahi objects while it runs and drop them when it
// stops. Its end takes every object made with it along, without a call to the daemon for each.
class AvahiSession : public QObject
{
    Q_OBJECT
public:
    // Why games cannot be found or published, before the daemon has said more.
    static inline const QString kNoDaemon = QStringLiteral("the Avahi service is not running on this computer");

    explicit AvahiSession(QObject *parent = nullptr);
    ~AvahiSession() override;

    // The client, while the daemon answers; null otherwise.
    AvahiClient *client() const { return running_ ? client_ : nullptr; }
    bool running() const { return running_; }
    // Why the daemon cannot be reached, when it cannot.
    QString problem() const { return problem_; }

signals:
    // true: make your objects with client(); false: free them now, before the client goes.
    void runningChanged(bool running);

private:
    static void onClientState(AvahiClient *client, int state, void *self);
    void connectToDaemon();
    void setRunning(bool running);

    AvahiQtPoll poll_;
    AvahiClient *client_ = nullptr;
    bool running_ = false;
    QString problem_;
};
