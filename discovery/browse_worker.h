#pragma once

#include "discovery/game_facts.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

struct AvahiServiceBrowser;
struct AvahiServiceResolver;
class AvahiSession;

// GameBrowser's work on its Avahi thread: every service of the type seen on the network, resolved
// a bounded number at a time, its address checked and whether it answers tried; from them the
// list of games, which it hands over whole whenever it changes.
//
// Anyone on the network may publish services, any number of them, under any name and at any
// address, so: an address no player can join (unspecified, multicast, broadcast, or loopback of
// another machine) is never listed; at most kMaxListed games are, those that answer a connection
// first, then the others that resolve, each in the order found; and at most kMaxSightings
// services are kept at all (the daemon itself keeps about as many records).
class BrowseWorker : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxListed = 200;
    static constexpr int kMaxSightings = 4096;
    // Services being resolved at once, and how long one may take.
    static constexpr int kMaxResolving = 128;
    static constexpr int kResolveMs = 5000;
    // Connections tried at once, and how long one may take.
    static constexpr int kMaxProbing = 64;
    static constexpr int kProbeMs = 1000;

    BrowseWorker();
    ~BrowseWorker() override;

    void start();

signals:
    // The list, and whether the network is still being heard: the daemon has not told all it
    // knows, or services found are still being resolved or tried.
    void gamesChanged(const QList<GameFacts> &games, bool busy);
    void availabilityChanged(bool available, const QString &problem);
    // Every service known when browsing began is resolved, and its answer tried.
    void settled();

private:
    struct Sighting;
    enum class Answer { Untried, Trying, Answers, Silent };

    static void onBrowse(AvahiServiceBrowser *, int interface, int protocol, int event, const char *name,
                         const char *type, const char *domain, int flags, void *self);
    static void onResolve(AvahiServiceResolver *resolver, int interface, int protocol, int event, const char *name,
                          const char *type, const char *domain, const char *host, const void *address, quint16 port,
                          void *txt, int flags, void *self);
    void sessionRunning(bool running);
    void startBrowsing();
    void stopBrowsing();
    void serviceNew(int interface, int protocol, const QByteArray &name, const QByteArray &domain);
    void serviceRemoved(int interface, int protocol, const QByteArray &name);
    void resolved(Sighting *sighting, GameFacts facts, bool local);
    void resolveFailed(Sighting *sighting);
    bool watch(Sighting *sighting);
    void unwatch(Sighting *sighting);
    void resolveMore();
    void dropSlowResolvers();
    void tryAnswers();
    void changed();
    void handOver();
    void checkSettled();
    Sighting *sightingOf(AvahiServiceResolver *resolver) const;
    static QString endpoint(const GameFacts &facts);

    AvahiSession *session_ = nullptr;
    AvahiServiceBrowser *browser_ = nullptr;
    std::vector<std::unique_ptr<Sighting>> sightings_;
    std::deque<Sighting *> waiting_; // to be resolved, the last found first
    int resolving_ = 0;
    quint64 found_ = 0;              // services seen so far: the order of finding
    QHash<QString, Answer> answers_; // by "address:port"
    std::deque<QString> toTry_;
    int trying_ = 0;
    bool allForNow_ = false;
    bool settled_ = false;
    QList<GameFacts> listed_;
    bool busy_ = false;
    // Children, so that they move to the worker's thread with it.
    QTimer *handOver_ = new QTimer(this); // gathers a burst of changes into one list
    QTimer *slowResolvers_ = new QTimer(this);
};
